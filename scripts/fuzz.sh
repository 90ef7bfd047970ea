#!/usr/bin/env bash
# Fuzzes the triangulation core (and the scene's Triangulate on the same
# sites) with libFuzzer under ASan and UBSan, for a bounded time.
#
#   scripts/fuzz.sh [--short] [SECONDS]
#
# Default 600 s (FUZZ_SECONDS), --short 60 s (as part of `make test`). The
# committed seed corpus fuzz/corpus/ is replayed first and never written to;
# new inputs go to $FUZZ_BUILD_DIR/fuzz-work/corpus, findings to
# $FUZZ_BUILD_DIR/fuzz-work/artifacts. Exits non-zero on any finding: a crash,
# a sanitizer report, a failed check, a hang (-timeout) or a memory blow-up.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-600}
if [ "${1-}" = "--short" ]; then
    seconds=${FUZZ_SHORT_SECONDS:-60}
    shift
fi
if [ $# -gt 0 ]; then
    seconds=$1
fi
build=${FUZZ_BUILD_DIR:-build-fuzz}
mkdir -p "$build"
clangxx=$(command -v clang++ || command -v clang++-14 || true)
if [ -z "$clangxx" ]; then
    echo "fuzz.sh: clang++ not found (scripts/deps.sh fuzz installs it)" >&2
    exit 1
fi

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER="$clangxx" -DTESSARO_FUZZ=ON \
    -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log" >&2; exit 1; }
cmake --build "$build" -j "${JOBS:-2}" --target tessaro_core_fuzzer

work="$build/fuzz-work"
mkdir -p "$work/corpus" "$work/artifacts"
log="$work/last-run.log"
echo "fuzz.sh: fuzzing for ${seconds} s (log: $log)"
set +e
"$build/fuzz/tessaro_core_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=1024 -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
    "$work/corpus" fuzz/corpus >"$log" 2>&1
status=$?
set -e

executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n1)
if [ "$status" -ne 0 ]; then
    tail -n 60 "$log" >&2
    echo "fuzz.sh: FINDING after ${seconds} s budget; reproducer in $work/artifacts/" >&2
    exit 1
fi
echo "fuzz.sh: ${executions:-?} executions in ${seconds} s, ${coverage:-cov: ?}, no finding"
