#!/usr/bin/env python3
"""Quality meshes side by side: ours and CGAL's Delaunay_mesher_2 (from the
benchmark binary, which also writes the domains as .poly files) and Gmsh's 2D
Delaunay algorithm (run here, from a .geo written for each domain), into a
Markdown table.

    bench_mesh.py --bench build-bench/bench/edgealgebra_mesh_bench --out docs/bench/mesh.md

Times are CPU seconds of one thread: the whole refine call for ours (the
constrained triangulation included), CGAL's constraint insertion and
refinement, and Gmsh's own "meshing 2D" time from its log (reading the .geo
and writing the mesh left out). Gmsh has no angle bound and sizes by a target
edge length, not a largest area: it gets the side of an equilateral triangle
of the area bound as its largest mesh size, as CGAL gets it as its longest
edge.
"""

import argparse
import math
import re
import shutil
import subprocess
import tempfile
from pathlib import Path


def read_poly(path):
    lines = [l.split() for l in path.read_text().splitlines() if l.strip()]
    n = int(lines[0][0])
    points = [(float(l[1]), float(l[2])) for l in lines[1:1 + n]]
    m = int(lines[1 + n][0])
    segments = [(int(l[1]) - 1, int(l[2]) - 1) for l in lines[2 + n:2 + n + m]]
    return points, segments


def rings(segments):
    """The closed rings the segments form, in the order given."""
    result, current = [], []
    for k, (a, b) in enumerate(segments):
        current.append(k)
        if b == segments[current[0]][0]:
            result.append(current)
            current = []
    return result


def write_geo(poly, size, geo):
    points, segments = read_poly(poly)
    h = math.sqrt(4 * size / math.sqrt(3))
    out = ["Mesh.Algorithm = 5;", "General.NumThreads = 1;", f"Mesh.MeshSizeMax = {h!r};",
           "Mesh.MeshSizeFromPoints = 0;"]
    out += [f"Point({i + 1}) = {{{x!r}, {y!r}, 0}};" for i, (x, y) in enumerate(points)]
    out += [f"Line({k + 1}) = {{{a + 1}, {b + 1}}};" for k, (a, b) in enumerate(segments)]
    loops = rings(segments)
    for r, ring in enumerate(loops):
        out.append(f"Curve Loop({r + 1}) = {{{', '.join(str(k + 1) for k in ring)}}};")
    out.append(f"Plane Surface(1) = {{{', '.join(str(r + 1) for r in range(len(loops)))}}};")
    geo.write_text("\n".join(out) + "\n")
    return len(points)


def measure_msh(path):
    """Triangles, nodes, smallest angle and largest area of a Gmsh 2.2 ASCII mesh."""
    lines = path.read_text().splitlines()
    start = lines.index("$Nodes")
    n = int(lines[start + 1])
    nodes = {}
    for l in lines[start + 2:start + 2 + n]:
        f = l.split()
        nodes[int(f[0])] = (float(f[1]), float(f[2]))
    start = lines.index("$Elements")
    count, smallest, largest = 0, 180.0, 0.0
    for l in lines[start + 2:start + 2 + int(lines[start + 1])]:
        f = l.split()
        if f[1] != "2":
            continue
        corners = [nodes[int(v)] for v in f[3 + int(f[2]):]]
        count += 1
        for k in range(3):
            (ax, ay), (bx, by), (cx, cy) = corners[k], corners[(k + 1) % 3], corners[(k + 2) % 3]
            ux, uy, vx, vy = bx - ax, by - ay, cx - ax, cy - ay
            smallest = min(smallest, math.degrees(math.atan2(abs(ux * vy - uy * vx), ux * vx + uy * vy)))
        (ax, ay), (bx, by), (cx, cy) = corners
        largest = max(largest, abs((bx - ax) * (cy - ay) - (by - ay) * (cx - ax)) / 2)
    return count, n, smallest, largest


def run_gmsh(name, polys, repetitions):
    geo = polys / f"{name}.geo"
    inputs = write_geo(polys / f"{name}.poly", float((polys / f"{name}.size").read_text()), geo)
    times = []
    for _ in range(repetitions):
        log = subprocess.run(["gmsh", str(geo), "-2", "-nt", "1", "-format", "msh22", "-o",
                              str(polys / f"{name}.msh")], check=True, capture_output=True,
                             text=True).stdout
        times.append(float(re.search(r"Done meshing 2D \(Wall [0-9.e-]+s, CPU ([0-9.e-]+)s\)", log)
                           .group(1)))
    triangles, nodes, smallest, largest = measure_msh(polys / f"{name}.msh")
    return sorted(times)[len(times) // 2], triangles, nodes - inputs, smallest, largest


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bench", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--repetitions", type=int, default=3)
    parser.add_argument("--gmsh-repetitions", type=int, default=1,
                        help="Gmsh takes minutes on the larger domains")
    args = parser.parse_args()
    polys = Path(tempfile.mkdtemp())
    try:
        rows = []
        text = subprocess.run([args.bench, str(args.repetitions), str(polys)], check=True,
                              capture_output=True, text=True).stdout
        for line in text.splitlines():
            name, mesher, angle, area, seconds, triangles, steiner, smallest, largest = line.split("\t")
            rows.append([name, mesher, angle, area, float(seconds), int(triangles), int(steiner),
                         float(smallest), float(largest)])
        if shutil.which("gmsh"):
            for name in dict.fromkeys(r[0] for r in rows):
                angle, area = next((r[2], r[3]) for r in rows if r[0] == name)
                rows.append([name, "Gmsh", "none", area, *run_gmsh(name, polys, args.gmsh_repetitions)])
        rows.sort(key=lambda r: r[0])
        ours = {r[0]: r for r in rows if r[1] == "tessaro"}
        out = ["| Domain | Mesher | Angle bound | Area bound | CPU s | Triangles | Steiner points "
               "| Smallest angle | Largest area | Triangles per s | Time / ours |",
               "|---|---|---|---|---|---|---|---|---|---|---|"]
        for name, mesher, angle, area, seconds, triangles, steiner, smallest, largest in rows:
            out.append(f"| {name} | {mesher} | {angle} | {area} | {seconds:.3f} | {triangles:,} | "
                       f"{steiner:,} | {smallest:.2f} | {largest:.3g} | "
                       f"{triangles / seconds / 1e6:.2f} M | {seconds / ours[name][4]:.1f} |")
        Path(args.out).write_text("\n".join(out) + "\n")
        print("\n".join(out))
    finally:
        shutil.rmtree(polys)


if __name__ == "__main__":
    main()
