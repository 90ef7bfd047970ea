#!/usr/bin/env bash
# Three hundred million points triangulated in tiles on Dask (make
# bench-distributed; not part of make test).
#
# Builds the Python module (Release, in build-bench) and runs
# scripts/bench_distributed.py with Debian's interpreter: uniform points drawn
# chunk by chunk in Dask, tessaro.distributed.triangulate on a LocalCluster of
# two single-threaded workers with a memory limit each, the triangles written
# to zarr, and tessaro.triangulate on ten million points in the same run to
# compare. Figures go to docs/bench/distributed.txt.
#
#   BENCH_DIR                   build directory (default build-bench)
#   BENCH_DISTRIBUTED_POINTS    points (default 300000000)
#   BENCH_DISTRIBUTED_SINGLE    points of the one-process run (default 10000000)
#   BENCH_DISTRIBUTED_MEMORY    memory limit per worker (default 6GB)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BENCH_DIR:-build-bench}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DTESSARO_REQUIRE_ALL=OFF >/dev/null
cmake --build "$build_dir" -j "${JOBS:-2}" --target tessaro_python
PYTHONPATH="$build_dir/python" /usr/bin/python3 scripts/bench_distributed.py \
    --points "${BENCH_DISTRIBUTED_POINTS:-300000000}" \
    --single "${BENCH_DISTRIBUTED_SINGLE:-10000000}" \
    --memory-limit "${BENCH_DISTRIBUTED_MEMORY:-6GB}" \
    --zarr "$build_dir/distributed-triangles.zarr"
