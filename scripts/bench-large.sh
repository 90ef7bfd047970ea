#!/usr/bin/env bash
# One hundred million sites (make bench-large).
#
# Builds the peak-memory program (edgealgebra_peak_memory, Release, in
# build-bench; it needs the core alone) and runs triangulate(coords) on all
# threads, each run in a fresh process: three times at one million sites and
# once at one hundred million, the same uniform sites as the benchmarks, given
# as flat x, y floats. Prints the wall time per site of each, the ratio of the
# large run's time per site to the median of the small ones (near-linear
# growth: at most 1.25) and the large run's peak resident memory (within
# 16 GB), and writes it all to docs/bench/large.txt with the machine.
#
# Takes a few minutes on two cores (the build about one more when it is not
# there yet) and about 12 GB of memory at one hundred million sites; it stops
# at once when much less is available.
#
#   BENCH_DIR          build directory (default build-bench)
#   BENCH_LARGE_SITES  sites of the large run (default 100000000)
#   BENCH_LARGE_FORCE  set to 1 to run even when less memory seems available
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BENCH_DIR:-build-bench}
out=docs/bench/large.txt
large=${BENCH_LARGE_SITES:-100000000}
small=1000000
start_seconds=$SECONDS

# About 120 bytes per site at the peak: coordinates 8, result 48, the
# construction's working memory the rest. Ask for a margin on top.
needed_kib=$((large * 130 / 1024))
available_kib=$(awk '/^MemAvailable:/ {print $2}' /proc/meminfo)
expected_gb=$(awk -v n="$large" 'BEGIN { printf "%.1f", n * 120 / 1e9 }')
echo "bench-large: expect a few minutes (about 2 to 5 on two cores, plus about one for the" \
    "build when it is not there yet) and about $expected_gb GB of memory at the peak," \
    "for $large sites"
if [ "$available_kib" -lt "$needed_kib" ] && [ "${BENCH_LARGE_FORCE:-0}" != 1 ]; then
    echo "bench-large: only $((available_kib / 1024 / 1024)) GiB available, about" \
        "$((needed_kib / 1024 / 1024)) GiB needed; stopping (BENCH_LARGE_FORCE=1 runs anyway)" >&2
    exit 1
fi

cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build "$build_dir" -j 2 --target edgealgebra_peak_memory
peak_memory=$build_dir/bench/edgealgebra_peak_memory

runs_dir=$(mktemp -d)
trap 'rm -rf "$runs_dir"' EXIT

# One triangulate run on all threads in a fresh process, its output kept
# under the name $1.
fresh() {
    local name=$1 sites=$2
    echo "# $sites sites, triangulate, all threads"
    if ! "$peak_memory" "$sites" triangulate all >"$runs_dir/$name"; then
        echo "bench-large: the run at $sites sites failed (out of memory?)" >&2
        exit 1
    fi
    cat "$runs_dir/$name"
}

# The seconds (or other number) after "KEY " in the output of run $2.
field() {
    sed -n "s/^$1 \([0-9.][0-9.]*\).*/\1/p" "$runs_dir/$2" | head -n 1
}

calc() {
    awk "BEGIN { printf \"$1\", $2 }"
}

mkdir -p "$(dirname "$out")"
{
    echo "machine: $(lscpu | sed -n 's/^Model name: *//p' | head -n 1)," \
        "$(nproc) cores, $(free -g | awk '/^Mem:/ {print $2}') GiB"
    echo "kernel: $(uname -sr)"
    echo "compiler: $(c++ --version | head -n 1)"
    echo "load average at the start: $(cut -d ' ' -f 1-3 /proc/loadavg)"
    echo "stack limit: $(ulimit -s) KiB"
    echo

    fresh small1 "$small"
    fresh small2 "$small"
    # The slower small run, with its coordinates, scaled up by the target's
    # 1.25.
    estimate=$(calc "%.0f" "1.25 * $large / $small * $(printf '%s\n' \
        "$(calc "%f" "$(field triangulate small1) + $(field "generating coordinates" small1)")" \
        "$(calc "%f" "$(field triangulate small2) + $(field "generating coordinates" small2)")" |
        sort -g | tail -n 1)")
    echo "# the large run should take up to about $estimate s, coordinates included"
    fresh large "$large"
    fresh small3 "$small"

    small_ns=$(for run in small1 small2 small3; do
        calc "%.3f\n" "$(field triangulate "$run") * 1e9 / $small"
    done | sort -g | sed -n 2p)
    large_ns=$(calc "%.3f" "$(field triangulate large) * 1e9 / $large")
    peak_kib=$(sed -n 's/^peak \([0-9]*\) KiB/\1/p' "$runs_dir/large")
    echo
    echo "# summary (wall time of the triangulate call alone, all threads)"
    echo "$small sites: $(calc "%.1f" "$small_ns") ns per site (median of three runs)"
    echo "$large sites: $(calc "%.1f" "$large_ns") ns per site," \
        "$(field triangulate large) s for the call"
    echo "time per site, $large / $small sites (target: at most 1.25):" \
        "$(calc "%.2f" "$large_ns / $small_ns")"
    echo "peak resident memory at $large sites (target: within 16 GB):" \
        "$(calc "%.2f" "$peak_kib * 1024 / 1e9") GB ($(calc "%.2f" "$peak_kib / 1048576") GiB)," \
        "$(field "peak bytes per site" large) bytes per site, coordinates and result included"
    echo "load average at the end: $(cut -d ' ' -f 1-3 /proc/loadavg)"
    elapsed=$((SECONDS - start_seconds))
    echo "bench-large took $((elapsed / 60)) min $((elapsed % 60)) s"
} | tee "$out"
