"""Triangulates uniform points in tiles on a local Dask cluster and writes the
triangles to zarr (make bench-distributed, through scripts/bench-distributed.sh).

The points are drawn chunk by chunk in Dask, on the workers; the cluster is two
single-threaded worker processes with a memory limit each, on loopback. Reports
the wall time (triangulation and writing), the peak resident memory of each
worker, and the time per point against tessaro.triangulate on all threads of
this process, on fewer points, in the same run.
"""

import argparse
import logging
import os
import platform
import resource
import shutil
import sys
import time

import numpy as np


def peak_rss_bytes():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024


def machine():
    model = "unknown"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo") as f:
        total = int(f.readline().split()[1]) * 1024
    return f"{platform.node()}: {os.cpu_count()} cores, {model}, {total / 1e9:.1f} GB"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--points", type=float, default=3e8)
    parser.add_argument("--single", type=float, default=1e7,
                        help="points of the one-process run to compare with")
    parser.add_argument("--tile-points", type=float, default=4e6)
    parser.add_argument("--chunk", type=float, default=4e6, help="rows per input chunk")
    parser.add_argument("--memory-limit", default="6GB", help="per worker")
    parser.add_argument("--zarr", default="build-bench/distributed-triangles.zarr")
    parser.add_argument("--out", default="docs/bench/distributed.txt")
    parser.add_argument("--keep", action="store_true", help="keep the zarr store")
    args = parser.parse_args()
    n, single, tile_points = int(args.points), int(args.single), int(args.tile_points)

    import dask
    import dask.array as da
    import distributed
    import tessaro
    import tessaro.distributed

    lines = [f"machine: {machine()}",
             f"points {n}, tile_points {tile_points}, chunk {int(args.chunk)}, "
             f"two single-threaded workers, memory limit {args.memory_limit} each"]

    rng = np.random.default_rng(1)
    points = rng.random((single, 2))
    start = time.perf_counter()
    one = tessaro.triangulate(points)
    single_seconds = time.perf_counter() - start
    single_ns = single_seconds / single * 1e9
    lines.append(f"tessaro.triangulate, {single} points, all threads: {single_seconds:.1f} s, "
                 f"{single_ns:.0f} ns per point, {len(one.triangles)} triangles")
    del one, points

    shutil.rmtree(args.zarr, ignore_errors=True)
    logging.basicConfig(format="%(asctime)s %(name)s: %(message)s")
    logging.getLogger("tessaro.distributed").setLevel(logging.INFO)
    # The workers hold the tiles' points and the finished triangles until they
    # are written, more than their memory at this size: they spill to disk
    # from half their limit on (Dask's default is 60 %), so that a task's own
    # memory (and what the allocator keeps) fits under the limit beside what
    # stays in memory.
    dask.config.set({"distributed.worker.memory.target": 0.5,
                     "distributed.worker.memory.spill": 0.6,
                     "distributed.worker.memory.pause": 0.85,
                     "distributed.worker.memory.terminate": 0.98})
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  memory_limit=args.memory_limit, host="127.0.0.1",
                                  dashboard_address="127.0.0.1:0") as cluster, \
            distributed.Client(cluster) as client:
        points = da.random.RandomState(2).random_sample((n, 2), chunks=(int(args.chunk), 2))
        start = time.perf_counter()
        triangles = tessaro.distributed.triangulate(points, tile_points=tile_points,
                                                    client=client)
        built = time.perf_counter()
        triangles.to_zarr(args.zarr, overwrite=True)
        seconds = time.perf_counter() - start
        peaks = client.run(peak_rss_bytes)
    stored = da.from_zarr(args.zarr)
    ns = seconds / n * 1e9
    lines.append(f"tessaro.distributed.triangulate and to_zarr, {n} points: {seconds:.1f} s "
                 f"({built - start:.1f} s to the persisted tiles), {ns:.0f} ns per point, "
                 f"{stored.shape[0]} triangles")
    lines.append("peak resident memory per worker: " +
                 ", ".join(f"{p / 1e9:.2f} GB" for p in sorted(peaks.values())))
    ratio = ns / single_ns
    worst = max(peaks.values()) / 1e9
    lines.append(f"time per point against one process: {ratio:.2f} (target at most 2): "
                 f"{'met' if ratio <= 2 else 'not met'}")
    lines.append(f"peak per worker {worst:.2f} GB (target under 6 GB): "
                 f"{'met' if worst < 6 else 'not met'}")
    if not args.keep:
        shutil.rmtree(args.zarr, ignore_errors=True)
    text = "\n".join(lines) + "\n"
    print(text, end="")
    os.makedirs(os.path.dirname(args.out), exist_ok=True)
    with open(args.out, "w") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
