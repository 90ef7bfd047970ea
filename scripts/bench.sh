#!/usr/bin/env bash
# Benchmarks of the triangulation core against CGAL (make bench).
#
# Configures a Release build in build-bench, builds the benchmark binaries,
# runs them with JSON output into docs/bench/ (wall time; each benchmark warms
# up first, so both libraries are measured with their allocators in a steady
# state, and repetitions of ours and CGAL's run interleaved, so that a change
# in the load of a shared machine falls on both), times the Python module
# against scipy.spatial.Delaunay at one million points (docs/bench/python.txt,
# about a minute with the module's build), then runs single
# triangulations in fresh processes for time and peak memory: at one million
# sites ours (sort + build cycle, triangulate) and CGAL's, at ten million
# sites ours on one thread and on all threads (cycle and triangulate) and
# CGAL's, with the ratios at the end of peak_memory.txt. Finally it writes the
# plot and the table for docs/benchmarks.md. Takes about 5 to 10 minutes on
# two cores, of which the ten-million-site runs take 1 to 2 and need about
# 5 GB of memory.
#
#   BENCH_DIR        build directory (default build-bench)
#   BENCH_MIN_TIME   Google Benchmark's minimum (and warm-up) time per benchmark,
#                    seconds (default 0.5)
#   BENCH_REPETITIONS  repetitions, run in random interleaving; the figures are
#                    their medians (default 5)
#   BENCH_FILTER     Google Benchmark's --benchmark_filter (default: all)
#   BENCH_SKIP_HUGE  set to 1 to skip the ten-million-site runs
#   BENCH_MESH_REPETITIONS  repetitions of the quality meshes (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BENCH_DIR:-build-bench}
out_dir=docs/bench
min_time=${BENCH_MIN_TIME:-0.5}
repetitions=${BENCH_REPETITIONS:-5}
start_seconds=$SECONDS

echo "bench: expect about 5 to 10 minutes on two cores (1 to 2 of them at ten million sites," \
    "set BENCH_SKIP_HUGE=1 to skip those)"

cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build "$build_dir" -j 2 --target edgealgebra_bench edgealgebra_peak_memory

mkdir -p "$out_dir"
"$build_dir"/bench/edgealgebra_bench --benchmark_min_time="$min_time" \
    --benchmark_min_warmup_time="$min_time" \
    --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
    --benchmark_filter="${BENCH_FILTER:-.}" \
    --benchmark_out="$out_dir/benchmark.json" --benchmark_out_format=json

# The comparison with scipy.spatial.Delaunay: the Python module from this
# build, on the same sites (bench/BenchSites.cpp: seed and distribution) as
# float64, against scipy in fresh processes, into docs/bench/python.txt.
cmake --build "$build_dir" -j 2 --target tessaro_python
/usr/bin/python3 scripts/bench_python.py --n 1000000 --module-dir "$build_dir/python" \
    --out "$out_dir/python.txt"

# Gridding a million scattered values: scipy's griddata, matplotlib's
# LinearTriInterpolator, CGAL's natural neighbour coordinates and ours, in
# one run on the same points, into docs/bench/gridding.txt.
cmake --build "$build_dir" -j 2 --target edgealgebra_gridding_bench
/usr/bin/python3 scripts/bench_gridding.py --build-dir "$build_dir" --out "$out_dir/gridding.txt"

# Quality meshes: ours, CGAL's Delaunay_mesher_2 and Gmsh on the same
# domains (a few minutes, most of them Gmsh's), into docs/bench/mesh.md.
cmake --build "$build_dir" -j 2 --target edgealgebra_mesh_bench
/usr/bin/python3 scripts/bench_mesh.py --bench "$build_dir/bench/edgealgebra_mesh_bench" \
    --out "$out_dir/mesh.md" --repetitions "${BENCH_MESH_REPETITIONS:-5}"

peak_memory=$build_dir/bench/edgealgebra_peak_memory

runs_dir=$(mktemp -d)
trap 'rm -rf "$runs_dir"' EXIT

# One triangulation in a fresh process: prints a header line and the run's
# output, and keeps the output under the name $1 for the summary.
fresh() {
    local name=$1 label=$2
    shift 2
    echo "# $label"
    "$peak_memory" "$@" >"$runs_dir/$name"
    cat "$runs_dir/$name"
}

# The number after "KEY " in the output of run $2 (empty when it did not run).
field() {
    [ -f "$runs_dir/$2" ] || return 0
    sed -n "s/^$1 \([0-9.][0-9.]*\).*/\1/p" "$runs_dir/$2" | head -n 1
}

# $1 / $2 with two decimals, or "-" when either is missing.
ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { if (a == "" || b == "" || b == 0) print "-"; else printf "%.2f", a / b }'
}

has_cgal=0
if "$peak_memory" 1000 cgal >/dev/null 2>&1; then
    has_cgal=1
fi

# The processes run with the shell's stack limit (8 MiB by default), not a
# raised one: the constructions recurse only about log2 n deep.
{
    echo "# each run in a fresh process; wall times; all threads: every hardware thread," \
        "at least two; stack limit $(ulimit -s) KiB"
    fresh cycle6 "1e6 sites, ours: sort + build cycle, all threads" 1000000 cycle all
    fresh flat6 "1e6 sites, ours: triangulate, all threads" 1000000 triangulate all
    if [ "$has_cgal" = 1 ]; then
        fresh cgal6 "1e6 sites, CGAL" 1000000 cgal
    fi
    if [ "${BENCH_SKIP_HUGE:-0}" != 1 ]; then
        if [ "$has_cgal" = 1 ]; then
            fresh cgal7 "1e7 sites, CGAL" 10000000 cgal
        fi
        fresh cycle7_1 "1e7 sites, ours: sort + build cycle, 1 thread" 10000000 cycle 1
        fresh cycle7_all "1e7 sites, ours: sort + build cycle, all threads" 10000000 cycle all
        fresh flat7_1 "1e7 sites, ours: triangulate, 1 thread" 10000000 triangulate 1
        fresh flat7_all "1e7 sites, ours: triangulate, all threads" 10000000 triangulate all
    fi

    echo
    echo "# summary (ratios of wall times in the fresh processes above)"
    echo "1e6: sort + build / CGAL build, all threads:" \
        "$(ratio "$(field sort+build cycle6)" "$(field "cgal build" cgal6)")"
    echo "1e6: triangulate / CGAL build, all threads:" \
        "$(ratio "$(field triangulate flat6)" "$(field "cgal build" cgal6)")"
    if [ "${BENCH_SKIP_HUGE:-0}" != 1 ]; then
        cgal_build7=$(field "cgal build" cgal7)
        echo "1e7: sort + build / CGAL build (target: at most 0.6): 1 thread" \
            "$(ratio "$(field sort+build cycle7_1)" "$cgal_build7")," \
            "all threads $(ratio "$(field sort+build cycle7_all)" "$cgal_build7")"
        echo "1e7: triangulate / CGAL build: 1 thread" \
            "$(ratio "$(field triangulate flat7_1)" "$cgal_build7")," \
            "all threads $(ratio "$(field triangulate flat7_all)" "$cgal_build7")"
        echo "1e7: triangulate, peak bytes per site of the whole process, coordinates and" \
            "result included (target: at most 120): 1 thread" \
            "$(field "peak bytes per site" flat7_1), all threads" \
            "$(field "peak bytes per site" flat7_all)"
        echo "1e7: CGAL, peak bytes per site of the whole process, points included:" \
            "$(field "peak bytes per site" cgal7)"
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
elapsed=$((SECONDS - start_seconds))
echo "bench: figures in $out_dir/ (took $((elapsed / 60)) min $((elapsed % 60)) s)"
