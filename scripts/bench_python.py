#!/usr/bin/env python3
"""Times tessaro.triangulate against scipy.spatial.Delaunay (Qhull) on the same points.

    bench_python.py [--n N] [--runs R] [--module-dir DIR] [--out FILE]

The points are the benchmarks' sites (bench/BenchSites.cpp: std::mt19937 with
seed 20261208, uniform floats in [-4, 4)), rebuilt bit for bit here from the
same generator, and handed to both as an (n, 2) float64 array. Each timing is
one call in a fresh process, repeated R times (default 3) for tessaro on one
thread, tessaro on every hardware thread and scipy, interleaved; the figures
are the medians of the wall times. Generating the points is not timed.
DIR (default build-bench/python) holds the built module. Writes FILE (default
docs/bench/python.txt) and prints it.
"""

import argparse
import os
import platform
import statistics
import subprocess
import sys
from pathlib import Path

import numpy as np

SEED = 20261208

# One timed call in a fresh process: argv module dir, n, "scipy" or a thread
# count; prints the seconds and the number of triangles.
RUN = r"""
import sys, time
import numpy as np
sys.path.insert(0, sys.argv[1])
n, what = int(sys.argv[2]), sys.argv[3]

# std::uniform_real_distribution<float>(-4, 4) on std::mt19937 as libstdc++
# computes it: one 32-bit draw per value, rounded to float, over 2^32.
draws = np.random.RandomState(%d).randint(0, 2**32, size=2 * n, dtype=np.uint32)
unit = np.minimum(draws.astype(np.float32) / np.float32(2**32),
                  np.nextafter(np.float32(1), np.float32(0)))
points = (np.float32(8) * unit + np.float32(-4)).astype(np.float64).reshape(n, 2)

if what == "scipy":
    from scipy.spatial import Delaunay
    start = time.perf_counter()
    triangles = len(Delaunay(points).simplices)
else:
    import tessaro
    start = time.perf_counter()
    triangles = len(tessaro.triangulate(points, threads=int(what)).triangles)
print(time.perf_counter() - start, triangles)
""" % SEED


def main():
    root = Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--n", type=int, default=1_000_000)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--module-dir", default=str(root / "build-bench" / "python"))
    parser.add_argument("--out", default=str(root / "docs" / "bench" / "python.txt"))
    args = parser.parse_args()

    cases = [("1", "tessaro.triangulate, 1 thread"),
             ("0", f"tessaro.triangulate, all threads ({os.cpu_count()})"),
             ("scipy", "scipy.spatial.Delaunay")]
    times = {what: [] for what, _ in cases}
    counts = {}
    for _ in range(args.runs):
        for what, _ in cases:
            out = subprocess.run([sys.executable, "-c", RUN, args.module_dir, str(args.n), what],
                                 check=True, capture_output=True, text=True).stdout
            seconds, triangles = out.split()
            times[what].append(float(seconds))
            counts[what] = int(triangles)

    import scipy
    median = {what: statistics.median(t) for what, t in times.items()}
    lines = [
        f"# tessaro.triangulate and scipy.spatial.Delaunay (Qhull) on {args.n} points: the"
        f" benchmarks' sites (seed {SEED}, uniform floats in [-4, 4)^2) as an (n, 2) float64 array",
        f"# wall time of one call in a fresh process, median of {args.runs} interleaved runs;"
        f" Python {platform.python_version()} ({sys.executable}), numpy {np.__version__},"
        f" scipy {scipy.__version__}; {os.cpu_count()} hardware threads",
    ]
    for what, label in cases:
        runs = " ".join(f"{t:.3f}" for t in times[what])
        lines.append(f"{label}: {median[what]:.3f} s (runs {runs}; {counts[what]} triangles)")
    for what, label in cases[:2]:
        lines.append(f"scipy / {label}: {median['scipy'] / median[what]:.1f}")
    text = "\n".join(lines) + "\n"
    Path(args.out).parent.mkdir(parents=True, exist_ok=True)
    Path(args.out).write_text(text)
    print(text, end="")


if __name__ == "__main__":
    main()
