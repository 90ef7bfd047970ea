#!/usr/bin/env bash
# Soak run of the triangulation core: millions of random triangulations of
# the program's kind of site sets (2 to 30 sites on its 1/4096 grid in
# [-4, 4)), each destroyed again, with the live quad-edge count checked to be
# back at zero after every one. Bounded in rounds and in time.
#
#   SOAK_ROUNDS       rounds at most (default 5000000)
#   SOAK_SECONDS      seconds at most (default 600)
#   SOAK_AUDIT_EVERY  full consistency audit of every k-th round (default 10;
#                     the others are still walked and counted)
#   SOAK_SEED         random seed (default 1)
#   SOAK_BUILD_DIR    build directory (default build-soak)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${SOAK_BUILD_DIR:-build-soak}
mkdir -p "$build"
configure=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ ! -f "$build/CMakeCache.txt" ]; then
    # The soak needs no test framework; a fresh build directory goes without.
    configure+=(-DBUILD_TESTING=OFF)
fi
cmake -S . -B "$build" "${configure[@]}" >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log" >&2; exit 1; }
cmake --build "$build" -j "${JOBS:-2}" --target tessaro_soak

mkdir -p "$build/soak"
report="$build/soak/last-run.txt"
set +e
"$build/fuzz/tessaro_soak" --rounds "${SOAK_ROUNDS:-5000000}" --seconds "${SOAK_SECONDS:-600}" \
    --audit-every "${SOAK_AUDIT_EVERY:-10}" --seed "${SOAK_SEED:-1}" | tee "$report"
status=${PIPESTATUS[0]}
set -e
if [ "$status" -ne 0 ]; then
    echo "soak.sh: FAILED (report: $report)" >&2
    exit 1
fi
echo "soak.sh: ok (report: $report)"
