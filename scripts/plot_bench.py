#!/usr/bin/env python3
"""Turns the benchmark's JSON output into a plot of wall time per site against
the number of sites (ours on one thread and on all threads, and CGAL, by
phase) and a Markdown table of the same figures with the ratios ours / CGAL
and the growth of the time per site. Medians of repetitions are used when the
benchmark ran with repetitions.

usage: plot_bench.py BENCHMARK_JSON PLOT_PNG TABLE_MD
"""
import json
import math
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

UNIT_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
COUNTERS = ("sort_build", "sort", "build", "walk", "destroy", "triangulate", "free")

# Thread selectors of a series: one thread, or the most the run used
# (every hardware thread, at least two).
ONE, ALL = "1 thread", "all threads"

# (label, benchmark, threads, counter or None for the whole measured time), in
# table order. Benchmarks without a threads argument ran on one thread.
SERIES = [
    ("ours, 1 thread: sort + build", "OursCycle", ONE, "sort_build"),
    ("ours, all threads: sort + build", "OursCycle", ALL, "sort_build"),
    ("ours: of which sortSites", "OursCycle", ONE, "sort"),
    ("ours, 1 thread: of which construction", "OursCycle", ONE, "build"),
    ("ours, all threads: of which construction", "OursCycle", ALL, "build"),
    ("ours, all threads: walk + getEdges", "OursCycle", ALL, "walk"),
    ("ours, all threads: destroy", "OursCycle", ALL, "destroy"),
    ("ours, 1 thread: whole cycle", "OursCycle", ONE, None),
    ("ours, all threads: whole cycle", "OursCycle", ALL, None),
    ("ours, 1 thread: triangulate", "OursTriangulate", ONE, None),
    ("ours, all threads: triangulate", "OursTriangulate", ALL, None),
    ("ours, 1 thread: triangulate, double", "OursTriangulateDouble", ONE, None),
    ("ours, all threads: triangulate, double", "OursTriangulateDouble", ALL, None),
    # The same sites with 1000 long segments (their ends added as sites):
    # triangulate(coords, segments) beside the plain triangulate of the same
    # sites.
    ("ours, 1 thread: triangulate, sites of 1000 segments", "OursTriangulateSegmentSites",
     ONE, None),
    ("ours, all threads: triangulate, sites of 1000 segments", "OursTriangulateSegmentSites",
     ALL, None),
    ("ours, 1 thread: triangulate with 1000 segments", "OursTriangulateSegments", ONE, None),
    ("ours, all threads: triangulate with 1000 segments", "OursTriangulateSegments", ALL, None),
    ("ours with std::sort, 1 thread: sort + build", "OursCycleStdSort", ONE, "sort_build"),
    ("ours with std::sort: of which std::sort", "OursCycleStdSort", ONE, "sort"),
    ("ours with std::sort, 1 thread: whole cycle", "OursCycleStdSort", ONE, None),
    ("CGAL: build", "CgalCycle", ONE, "build"),
    ("CGAL: destroy", "CgalCycle", ONE, "destroy"),
    ("CGAL: build + destroy", "CgalCycle", ONE, None),
    # The comparison with scipy.spatial.Delaunay (Qhull) comes here, as its
    # own benchmark name in the same JSON (one row per phase it reports), and
    # its ratio rows below in RATIOS.
]

# (label, numerator series, denominator series), by label in SERIES.
RATIOS = [
    ("ratio sort + build, 1 thread / CGAL build",
     "ours, 1 thread: sort + build", "CGAL: build"),
    ("ratio sort + build, all threads / CGAL build",
     "ours, all threads: sort + build", "CGAL: build"),
    ("ratio triangulate, 1 thread / CGAL build",
     "ours, 1 thread: triangulate", "CGAL: build"),
    ("ratio triangulate, all threads / CGAL build",
     "ours, all threads: triangulate", "CGAL: build"),
    ("ratio triangulate, double / float, 1 thread",
     "ours, 1 thread: triangulate, double", "ours, 1 thread: triangulate"),
    ("ratio triangulate, double / float, all threads",
     "ours, all threads: triangulate, double", "ours, all threads: triangulate"),
    ("ratio whole cycle, all threads / CGAL build + destroy",
     "ours, all threads: whole cycle", "CGAL: build + destroy"),
    ("ratio with 1000 segments / plain triangulate of the same sites, 1 thread",
     "ours, 1 thread: triangulate with 1000 segments",
     "ours, 1 thread: triangulate, sites of 1000 segments"),
    ("ratio with 1000 segments / plain triangulate of the same sites, all threads",
     "ours, all threads: triangulate with 1000 segments",
     "ours, all threads: triangulate, sites of 1000 segments"),
]


def parse_run_name(run_name):
    """("OursCycle", n, threads) from "OursCycle/n:1000/threads:2/manual_time"
    (also from the unnamed "SceneTriangulate/30/manual_time": n first)."""
    parts = run_name.split("/")
    values = {}
    positional = []
    for part in parts[1:]:
        key, _, value = part.partition(":")
        if value and value.isdigit():
            values[key] = int(value)
        elif part.isdigit():
            positional.append(int(part))
    n = values.get("n", positional[0] if positional else None)
    threads = values.get("threads", positional[1] if len(positional) > 1 else 1)
    return parts[0], n, threads


def load(path):
    """{(benchmark, threads): {n: {counter: seconds per iteration, None: time}}}."""
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    # With repetitions, the medians stand for each benchmark; without, the runs.
    medians = [b for b in data["benchmarks"] if b.get("aggregate_name") == "median"]
    results = {}
    for bench in medians or data["benchmarks"]:
        if not medians and bench.get("run_type", "iteration") != "iteration":
            continue
        name, n, threads = parse_run_name(bench["run_name"])
        if n is None:
            continue
        entry = {None: bench["real_time"] * UNIT_SECONDS[bench.get("time_unit", "ns")]}
        for key in COUNTERS:
            if key in bench:
                entry[key] = bench[key]
        results.setdefault((name, threads), {})[n] = entry
    return results


def all_threads(results):
    """The largest thread count of any run (1 when every run had one)."""
    return max((threads for _, threads in results), default=1)


def runs(results, bench, threads):
    """{n: entry} of a series' benchmark and thread selector, or {}."""
    count = 1 if threads == ONE else all_threads(results)
    if threads == ALL and count == 1:
        return {}
    return results.get((bench, count), {})


def seconds(results, series, n):
    _, bench, threads, counter = series
    return runs(results, bench, threads).get(n, {}).get(counter)


SERIES_BY_LABEL = {s[0]: s for s in SERIES}


def ratio_row(results, label, ours, theirs, sizes):
    cells = []
    for n in sizes:
        a = seconds(results, SERIES_BY_LABEL[ours], n)
        b = seconds(results, SERIES_BY_LABEL[theirs], n)
        cells.append("" if a is None or not b else f"{a / b:.2f}")
    if not any(cells):
        return None
    return f"| {label} | " + " | ".join(cells) + " |"


# Growth of the time per site between these sizes, against the log factor of
# an n log n algorithm.
GROWTH_FROM, GROWTH_TO = 10_000, 1_000_000


def growth_table(results, small, large):
    rows = []
    for series in SERIES:
        a, b = seconds(results, series, small), seconds(results, series, large)
        if a and b:
            rows.append(f"| {series[0]} | {(b / large) / (a / small):.2f} |")
    if not rows:
        return []
    log_factor = math.log(large) / math.log(small)
    return ["", f"| time per site, {large:,} sites / {small:,} sites "
            f"(log factor {log_factor:.2f}) | growth |", "|---|---:|"] + rows


def write_table(results, path):
    sizes = sorted({n for (bench, _), by_size in results.items()
                    if bench != "SceneTriangulate" for n in by_size})
    lines = ["| wall time per site (ns) | " + " | ".join(f"{n:,}" for n in sizes) + " |",
             "|---|" + "---:|" * len(sizes)]
    for series in SERIES:
        if not runs(results, series[1], series[2]):
            continue
        cells = []
        for n in sizes:
            value = seconds(results, series, n)
            cells.append("" if value is None else f"{value / n * 1e9:.0f}")
        lines.append(f"| {series[0]} | " + " | ".join(cells) + " |")
    for label, ours, theirs in RATIOS:
        row = ratio_row(results, label, ours, theirs, sizes)
        if row:
            lines.append(row)
    lines.append("")
    lines.append(f"All threads: {all_threads(results)} (every hardware thread, at least two).")
    lines.extend(growth_table(results, GROWTH_FROM, GROWTH_TO))
    scene = results.get(("SceneTriangulate", 1), {})
    if scene:
        lines.append("")
        for n, entry in sorted(scene.items()):
            lines.append(f"Scene Triangulate at {n} sites: {entry[None] * 1e6:.1f} us of wall time "
                         f"({entry[None] / n * 1e9:.0f} ns per site).")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


# The series drawn; the destruction and std::sort rows stay in the table only.
PLOTTED = [s for s in SERIES if not s[0].endswith(": destroy") and "std::sort" not in s[0]]
# Ours in the ten colours of tab10 with nine markers, CGAL in greys with
# dashed lines; one thread dotted, all threads solid.
MARKERS = "os^vD<>ph"
CGAL_COLOURS = ["black", "dimgrey", "darkgrey"]


def plot(results, path):
    fig, ax = plt.subplots(figsize=(10, 6))
    colours = plt.get_cmap("tab10")
    ours_index = cgal_index = 0
    for index, series in enumerate(PLOTTED):
        by_size = runs(results, series[1], series[2])
        if not by_size:
            continue
        sizes = sorted(by_size)
        values = [seconds(results, series, n) for n in sizes]
        points = [(n, v / n * 1e9) for n, v in zip(sizes, values) if v is not None]
        if series[1] == "CgalCycle":
            style, colour = "--", CGAL_COLOURS[cgal_index % len(CGAL_COLOURS)]
            cgal_index += 1
        else:
            style, colour = (":" if series[2] == ONE else "-"), colours(ours_index % 10)
            ours_index += 1
        ax.plot([p[0] for p in points], [p[1] for p in points], style,
                marker=MARKERS[index % len(MARKERS)], color=colour, label=series[0])
    ax.set_xscale("log")
    ax.set_yscale("log")
    ax.set_xlabel("sites (uniform random in [-4, 4)^2)")
    ax.set_ylabel("wall time per site (ns)")
    ax.set_title("Delaunay triangulation: edgealgebra core "
                 f"(1 and {all_threads(results)} threads) and CGAL, one run")
    ax.grid(True, which="both", alpha=0.3)
    ax.legend(fontsize="small", loc="center left", bbox_to_anchor=(1.01, 0.5))
    fig.tight_layout()
    fig.savefig(path, dpi=100)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    results = load(sys.argv[1])
    plot(results, sys.argv[2])
    write_table(results, sys.argv[3])


if __name__ == "__main__":
    main()
