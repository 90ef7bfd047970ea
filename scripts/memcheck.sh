#!/usr/bin/env bash
# valgrind memcheck over a scripted session of the real program under a
# private Xvfb: start, add and remove sites, triangulate, circles on, off and
# on, reset, add, triangulate again, close the window. The driver
# (test/memcheck/) clicks the real pop-up menu through XTest and confirms each
# step on the screen.
#
# Fails on any invalid read or write, use of uninitialised memory, or definite
# leak that the committed suppressions (test/memcheck/gl-x.supp: GL and X
# libraries only) do not cover. Prints valgrind's summary.
#
# The program is built with the core's quad pool switched to one heap block
# per quad (TESSARO_SANITIZE=1, as in the sanitizer build), so that valgrind
# sees every quad-edge's allocation and release; otherwise a use after free
# or a leak of a quad would stay hidden inside a pooled chunk.
#
#   MEMCHECK_BUILD_DIR     build directory (default build-memcheck)
#   MEMCHECK_STEP_TIMEOUT  seconds per session step (default 300)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${MEMCHECK_BUILD_DIR:-build-memcheck}
mkdir -p "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
    -DCMAKE_CXX_FLAGS=-DTESSARO_SANITIZE=1 >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log" >&2; exit 1; }
cmake --build "$build" -j "${JOBS:-2}" --target tessaro tessaro_memcheck_session

out="$build/memcheck"
mkdir -p "$out"
log="$out/valgrind.log"
# Mesa's plain software rasteriser: llvmpipe's JIT and worker threads make a
# valgrind run far slower and add nothing for the program's own memory.
export GALLIUM_DRIVER=softpipe
set +e
scripts/with-xvfb.sh "$build/test/memcheck/tessaro_memcheck_session" \
    --step-timeout "${MEMCHECK_STEP_TIMEOUT:-300}" -- \
    valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
    --errors-for-leak-kinds=definite --error-exitcode=99 --num-callers=40 \
    --keep-debuginfo=yes --suppressions=test/memcheck/gl-x.supp --gen-suppressions=all \
    --log-file="$log" "$build/src/tests/tessaro/tessaro"
status=$?
set -e

echo "memcheck.sh: valgrind log: $log"
grep -E "(Invalid (read|write)|uninitialised|definitely lost:|indirectly lost:|possibly lost:|ERROR SUMMARY)" \
    "$log" | sed 's/^==[0-9]*== *//' | sort | uniq -c | sed 's/^ */memcheck.sh:   /'
if [ "$status" -ne 0 ]; then
    echo "memcheck.sh: FAILED (exit status $status; 99 means valgrind found errors)" >&2
    exit 1
fi
echo "memcheck.sh: clean"
