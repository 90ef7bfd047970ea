#!/usr/bin/env python3
"""Gridding scattered values, side by side: scipy, matplotlib, CGAL and tessaro.

    bench_gridding.py [--n N] [--grid G] [--cgal-queries Q] [--build-dir DIR] [--out FILE]

N scattered points (default one million, numpy's default_rng with seed
20261208, uniform in the unit square) carry the smooth test function
f = sin(6x) cos(5y) + x; they are gridded onto G x G points over the unit
square (default 1000 x 1000) by scipy.interpolate.griddata (linear and
nearest), matplotlib's LinearTriInterpolator (its Delaunay triangulation
included), and tessaro's griddata (linear, natural and nearest, its
triangulation included, on every hardware thread). Each is one call, wall
time. Then the C++ benchmark edgealgebra_gridding_bench (from DIR/bench) runs
on the same points: the core's triangulation, its grids on one and on all
threads, a million find queries, and CGAL's natural_neighbor_coordinates_2
against ours per query on Q scattered queries (default 100000). Writes FILE
(default docs/bench/gridding.txt), with the targets, and prints it.
"""

import argparse
import os
import platform
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import numpy as np

SEED = 20261208


def timed(call):
    start = time.perf_counter()
    result = call()
    return time.perf_counter() - start, result


def main():
    root = Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--n", type=int, default=1_000_000)
    parser.add_argument("--grid", type=int, default=1000)
    parser.add_argument("--cgal-queries", type=int, default=100_000)
    parser.add_argument("--build-dir", default=str(root / "build-bench"))
    parser.add_argument("--out", default=str(root / "docs" / "bench" / "gridding.txt"))
    args = parser.parse_args()
    sys.path.insert(0, str(Path(args.build_dir) / "python"))
    import tessaro
    import matplotlib.tri as mtri
    from scipy.interpolate import griddata as scipy_griddata

    rng = np.random.default_rng(SEED)
    points = rng.random((args.n, 2))
    values = np.sin(6 * points[:, 0]) * np.cos(5 * points[:, 1]) + points[:, 0]
    axis = np.linspace(0, 1, args.grid)
    gx, gy = np.meshgrid(axis, axis)
    rows = []  # (what, seconds)

    seconds, ours_linear = timed(lambda: tessaro.griddata(points, values, (gx, gy)))
    rows.append(("tessaro griddata linear, all threads (Python)", seconds))
    seconds, ours_natural = timed(lambda: tessaro.griddata(points, values, (gx, gy), "natural"))
    rows.append(("tessaro griddata natural, all threads (Python)", seconds))
    seconds, ours_nearest = timed(lambda: tessaro.griddata(points, values, (gx, gy), "nearest"))
    rows.append(("tessaro griddata nearest, all threads (Python)", seconds))
    seconds, scipy_linear = timed(lambda: scipy_griddata(points, values, (gx, gy)))
    rows.append(("scipy griddata linear", seconds))
    seconds, scipy_nearest = timed(lambda: scipy_griddata(points, values, (gx, gy), "nearest"))
    rows.append(("scipy griddata nearest", seconds))

    def matplotlib_linear():
        triangulation = mtri.Triangulation(points[:, 0], points[:, 1])
        return mtri.LinearTriInterpolator(triangulation, values)(gx, gy)

    seconds, mpl_linear = timed(matplotlib_linear)
    rows.append(("matplotlib LinearTriInterpolator (its triangulation included)", seconds))

    with tempfile.TemporaryDirectory() as scratch:
        samples = Path(scratch) / "samples.bin"
        with open(samples, "wb") as f:
            np.array([args.n], dtype=np.uint64).tofile(f)
            points.tofile(f)
            values.tofile(f)
        binary = Path(args.build_dir) / "bench" / "edgealgebra_gridding_bench"
        core = subprocess.run([str(binary), str(samples), str(args.grid), str(args.cgal_queries)],
                              check=True, capture_output=True, text=True).stdout

    figures = {}
    for line in core.splitlines():
        name, _, number = line.rpartition(" ")
        try:
            figures[name] = float(number)
        except ValueError:
            pass
    by_name = dict(rows)
    mask = ~np.isnan(scipy_linear)
    lines = [
        f"# {args.n} points, f = sin(6x) cos(5y) + x, gridded to {args.grid} x {args.grid};"
        f" wall times in seconds, one call each",
        f"machine: {platform.processor() or platform.machine()}, {os.cpu_count()} hardware threads,"
        f" load average {' '.join(f'{x:.1f}' for x in os.getloadavg())} at the end",
        "",
        "## Python, one call each (triangulation included)",
    ]
    lines += [f"{what:66s} {seconds:8.3f}" for what, seconds in rows]
    lines += [
        "",
        "## C++ (edgealgebra_gridding_bench, best of three)",
        core.rstrip(),
        "",
        "## Agreement",
        f"linear, largest |tessaro - scipy| inside the hull: "
        f"{np.abs(ours_linear - scipy_linear)[mask].max():.3g};"
        f" the same points outside: {np.array_equal(np.isnan(ours_linear), np.isnan(scipy_linear))}",
        f"nearest, points where tessaro and scipy differ: {int((ours_nearest != scipy_nearest).sum())}",
        f"linear, largest |tessaro - matplotlib| inside the hull: "
        f"{np.nanmax(np.abs(ours_linear - np.ma.filled(mpl_linear, np.nan))):.3g}",
        f"natural, largest |natural - linear|: {np.nanmax(np.abs(ours_natural - ours_linear)):.3g}",
        "",
        "## Targets",
    ]
    core_linear = figures.get("triangulate, all threads", np.nan) + figures.get(
        "grid linear, all threads", np.nan)
    scipy_seconds = by_name["scipy griddata linear"]
    lines.append(f"linear, triangulation included, scipy / tessaro (at least 20): Python "
                 f"{scipy_seconds / by_name['tessaro griddata linear, all threads (Python)']:.1f},"
                 f" C++ {scipy_seconds / core_linear:.1f}")
    cgal = figures.get("natural per query, CGAL natural_neighbor_coordinates_2 (us)")
    ours = figures.get("natural per query, ours on 1 thread (us)")
    if cgal and ours:
        lines.append(f"natural per query, CGAL / tessaro on one thread (at least 5): {cgal / ours:.1f}")
    find = figures.get("find 1e6 random queries, all threads")
    lines.append(f"a million find queries, all threads (under 0.1 s): {find:.3f} s")
    text = "\n".join(lines) + "\n"
    Path(args.out).write_text(text)
    print(text, end="")


if __name__ == "__main__":
    main()
