#!/usr/bin/env bash
# Runs a command against a private Xvfb server that is started for it and
# stopped afterwards, so that GL and end-to-end tests need no display of the
# machine's own. The server picks a free display number itself (-displayfd).
#
#   scripts/with-xvfb.sh COMMAND [ARG...]
#   XVFB_SCREEN=WxHxDEPTH overrides the screen geometry (default 1280x1024x24).
set -euo pipefail

workdir=$(mktemp -d)
xvfb_pid=""
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$workdir"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1280x1024x24}" -nolisten tcp \
    3>"$workdir/display" 2>"$workdir/xvfb.log" &
xvfb_pid=$!

for _ in $(seq 200); do
    if [ -s "$workdir/display" ]; then
        break
    fi
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "with-xvfb.sh: Xvfb failed to start:" >&2
        cat "$workdir/xvfb.log" >&2
        exit 1
    fi
    sleep 0.05
done
if [ ! -s "$workdir/display" ]; then
    echo "with-xvfb.sh: Xvfb did not report a display in time" >&2
    exit 1
fi

DISPLAY=":$(head -n1 "$workdir/display")"
export DISPLAY
# Mesa's software rasteriser: the same pixels on every machine.
export LIBGL_ALWAYS_SOFTWARE=1
set +e
"$@"
status=$?
set -e
exit $status
