#!/usr/bin/env python3
"""Turns the benchmark's JSON output into a plot of CPU time per site against
the number of sites (ours and CGAL, by phase) and a Markdown table of the same
figures with the ratios ours / CGAL. Medians of repetitions are used when the
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

# (label, benchmark, counter or None for the whole cycle), in table order.
SERIES = [
    ("ours: sort + build", "OursCycle", "sort_build"),
    ("ours: of which sortSites", "OursCycle", "sort"),
    ("ours: of which construction", "OursCycle", "build"),
    ("ours: walk + getEdges", "OursCycle", "walk"),
    ("ours: destroy", "OursCycle", "destroy"),
    ("ours: whole cycle", "OursCycle", None),
    ("ours with std::sort: sort + build", "OursCycleStdSort", "sort_build"),
    ("ours with std::sort: of which std::sort", "OursCycleStdSort", "sort"),
    ("ours with std::sort: whole cycle", "OursCycleStdSort", None),
    ("CGAL: build", "CgalCycle", "build"),
    ("CGAL: destroy", "CgalCycle", "destroy"),
    ("CGAL: build + destroy", "CgalCycle", None),
]


def load(path):
    """{benchmark: {n: {counter: seconds per iteration, None: cycle seconds}}}."""
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    # With repetitions, the medians stand for each benchmark; without, the runs.
    medians = [b for b in data["benchmarks"] if b.get("aggregate_name") == "median"]
    results = {}
    for bench in medians or data["benchmarks"]:
        if not medians and bench.get("run_type", "iteration") != "iteration":
            continue
        name, n = bench["run_name"].split("/")[:2]
        entry = {None: bench["real_time"] * UNIT_SECONDS[bench.get("time_unit", "ns")]}
        for key in ("sort_build", "sort", "walk", "destroy", "build"):
            if key in bench:
                entry[key] = bench[key]
        results.setdefault(name, {})[int(n)] = entry
    return results


def seconds(results, bench, counter, n):
    return results.get(bench, {}).get(n, {}).get(counter)


def ratio_row(results, label, ours, theirs, sizes):
    cells = []
    for n in sizes:
        a, b = seconds(results, *ours, n), seconds(results, *theirs, n)
        cells.append("" if a is None or not b else f"{a / b:.2f}")
    return f"| {label} | " + " | ".join(cells) + " |"


# Growth of the time per site between these sizes, against the log factor of
# an n log n algorithm.
GROWTH_FROM, GROWTH_TO = 10_000, 1_000_000


def growth_table(results, small, large):
    rows = []
    for label, bench, counter in SERIES:
        a, b = seconds(results, bench, counter, small), seconds(results, bench, counter, large)
        if a and b:
            rows.append(f"| {label} | {(b / large) / (a / small):.2f} |")
    if not rows:
        return []
    log_factor = math.log(large) / math.log(small)
    return ["", f"| time per site, {large:,} sites / {small:,} sites "
            f"(log factor {log_factor:.2f}) | growth |", "|---|---:|"] + rows


def write_table(results, path):
    sizes = sorted({n for bench in results.values() for n in bench})
    lines = ["| CPU time per site (ns) | " + " | ".join(f"{n:,}" for n in sizes) + " |",
             "|---|" + "---:|" * len(sizes)]
    for label, bench, counter in SERIES:
        if bench not in results:
            continue
        cells = []
        for n in sizes:
            value = seconds(results, bench, counter, n)
            cells.append("" if value is None else f"{value / n * 1e9:.0f}")
        lines.append(f"| {label} | " + " | ".join(cells) + " |")
    if "CgalCycle" in results:
        for bench, label in (("OursCycle", ""), ("OursCycleStdSort", " (std::sort)")):
            if bench not in results:
                continue
            lines.append(ratio_row(results, f"ratio sort + build{label} / CGAL build",
                                   (bench, "sort_build"), ("CgalCycle", "build"), sizes))
            lines.append(ratio_row(results, f"ratio whole cycle{label} / CGAL build + destroy",
                                   (bench, None), ("CgalCycle", None), sizes))
    lines.extend(growth_table(results, GROWTH_FROM, GROWTH_TO))
    if "SceneTriangulate" in results:
        lines.append("")
        for n, entry in sorted(results["SceneTriangulate"].items()):
            lines.append(f"Scene Triangulate at {n} sites: {entry[None] * 1e6:.1f} us of CPU time "
                         f"({entry[None] / n * 1e9:.0f} ns per site).")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


# The series drawn; the destruction rows stay in the table only.
PLOTTED = [label for label, _, _ in SERIES if not label.endswith(": destroy")]


def plot(results, path):
    fig, ax = plt.subplots(figsize=(9, 5.5))
    colours = plt.get_cmap("tab10")
    for index, (label, bench, counter) in enumerate(s for s in SERIES if s[0] in PLOTTED):
        if bench not in results:
            continue
        sizes = sorted(results[bench])
        values = [seconds(results, bench, counter, n) for n in sizes]
        points = [(n, v / n * 1e9) for n, v in zip(sizes, values) if v is not None]
        style = {"CgalCycle": "--", "OursCycleStdSort": ":"}.get(bench, "-")
        ax.plot([p[0] for p in points], [p[1] for p in points], style, marker="o",
                color=colours(index % 10), label=label)
    ax.set_xscale("log")
    ax.set_yscale("log")
    ax.set_xlabel("sites (uniform random in [-4, 4)^2)")
    ax.set_ylabel("CPU time per site (ns)")
    ax.set_title("Delaunay triangulation: edgealgebra core and CGAL, one run")
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
