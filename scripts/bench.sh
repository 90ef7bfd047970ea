#!/usr/bin/env bash
# Benchmarks of the triangulation core against CGAL (make bench).
#
# Configures a Release build in build-bench, builds the benchmark binaries,
# runs them with JSON output into docs/bench/ (each benchmark warms up first,
# so both libraries are measured with their allocators in a steady state, and
# repetitions of ours and CGAL's run interleaved, so that a change in the load
# of a shared machine falls on both),
# measures the peak memory of one cycle at one million sites in a fresh
# process (ours and CGAL's) and runs ten million sites once, then writes the
# plot and the table for docs/benchmarks.md.
#
#   BENCH_DIR        build directory (default build-bench)
#   BENCH_MIN_TIME   Google Benchmark's minimum (and warm-up) time per benchmark,
#                    seconds (default 0.5)
#   BENCH_REPETITIONS  repetitions, run in random interleaving; the figures are
#                    their medians (default 5)
#   BENCH_SKIP_HUGE  set to 1 to skip the ten-million-site run
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BENCH_DIR:-build-bench}
out_dir=docs/bench
min_time=${BENCH_MIN_TIME:-0.5}
repetitions=${BENCH_REPETITIONS:-5}

cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build "$build_dir" -j 2 --target edgealgebra_bench edgealgebra_peak_memory

mkdir -p "$out_dir"
"$build_dir"/bench/edgealgebra_bench --benchmark_min_time="$min_time" \
    --benchmark_min_warmup_time="$min_time" \
    --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
    --benchmark_out="$out_dir/benchmark.json" --benchmark_out_format=json

peak_memory=$build_dir/bench/edgealgebra_peak_memory
{
    echo "# one cycle at 1e6 sites, ours"
    "$peak_memory" 1000000
    if "$peak_memory" 1000 cgal >/dev/null 2>&1; then
        echo "# one cycle at 1e6 sites, CGAL"
        "$peak_memory" 1000000 cgal
    fi
    if [ "${BENCH_SKIP_HUGE:-0}" != 1 ]; then
        echo "# one cycle at 1e7 sites, ours, stack limit $(ulimit -s) KiB"
        "$peak_memory" 10000000
    fi
} | tee "$out_dir/peak_memory.txt"

{
    echo "machine: $(lscpu | sed -n 's/^Model name: *//p' | head -n 1)," \
        "$(nproc) cores, $(free -g | awk '/^Mem:/ {print $2}') GiB"
    echo "kernel: $(uname -sr)"
    echo "compiler: $(c++ --version | head -n 1)"
    echo "load average at the end: $(cut -d ' ' -f 1-3 /proc/loadavg)"
} >"$out_dir/machine.txt"

# Debian's interpreter first: matplotlib comes from python3-matplotlib.
python=python3
if [ -x /usr/bin/python3 ]; then
    python=/usr/bin/python3
fi
"$python" scripts/plot_bench.py "$out_dir/benchmark.json" "$out_dir/time_per_site.png" \
    "$out_dir/table.md"
echo "bench: figures in $out_dir/"
