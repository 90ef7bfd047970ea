"""The Python module against scipy.spatial.Delaunay and exact rational arithmetic."""

import ast
import os
import re
import subprocess
from fractions import Fraction
from pathlib import Path

import numpy as np
import pytest
from scipy.spatial import Delaunay

import tessaro


def orient(a, b, c):
    (ax, ay), (bx, by), (cx, cy) = [(Fraction(x), Fraction(y)) for x, y in (a, b, c)]
    return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax)


def incircle(a, b, c, d):
    """> 0 when d is strictly inside the circle through a, b, c (counterclockwise)."""
    dx, dy = Fraction(d[0]), Fraction(d[1])
    rows = []
    for x, y in (a, b, c):
        x, y = Fraction(x) - dx, Fraction(y) - dy
        rows.append((x, y, x * x + y * y))
    (a0, a1, a2), (b0, b1, b2), (c0, c1, c2) = rows
    return a0 * (b1 * c2 - b2 * c1) - a1 * (b0 * c2 - b2 * c0) + a2 * (b0 * c1 - b1 * c0)


def check_structure(tri):
    """Counterclockwise triangles and halfedges that pair up, in delaunator's conventions."""
    t = tri.triangles.ravel()
    h = tri.halfedges
    assert tri.triangles.dtype == h.dtype == tri.hull.dtype == np.uint32
    assert h.shape == t.shape
    nxt = lambda e: e - 2 if e % 3 == 2 else e + 1
    for e, o in enumerate(h):
        if o != tessaro.NONE:
            assert h[o] == e and t[o] == t[nxt(e)] and t[nxt(o)] == t[e]
    return t


def check_exact_delaunay(points, tri):
    """Every triangle strictly counterclockwise, every edge locally Delaunay, exactly."""
    t = check_structure(tri)
    for a, b, c in tri.triangles:
        assert orient(points[a], points[b], points[c]) > 0
    for e, o in enumerate(tri.halfedges):
        if o != tessaro.NONE:
            base = e - e % 3
            a, b, c = t[base : base + 3]
            far = t[o - o % 3 + (o % 3 + 2) % 3]
            assert incircle(points[a], points[b], points[c], points[far]) <= 0


def triangle_set(triangles):
    return {tuple(sorted(map(int, row))) for row in triangles}


@pytest.mark.parametrize("seed, n, dtype", [(1, 10, np.float64), (2, 3000, np.float64),
                                            (3, 3000, np.float32), (4, 20000, np.float64)])
def test_same_triangles_as_scipy_in_general_position(seed, n, dtype):
    points = np.random.default_rng(seed).uniform(-100, 100, (n, 2)).astype(dtype)
    tri = tessaro.triangulate(points)
    reference = Delaunay(points.astype(np.float64))
    assert triangle_set(tri.triangles) == triangle_set(reference.simplices)
    assert set(tri.hull.tolist()) == set(reference.convex_hull.ravel().tolist())
    t = check_structure(tri)
    p = points.astype(np.float64)[t].reshape(-1, 3, 2)
    cross = np.cross(p[:, 1] - p[:, 0], p[:, 2] - p[:, 0])
    assert (cross > 0).all()


# The lattice points on a circle of radius 5, scaled, moved far from the
# origin and each moved by a few units in the last place: nearly cocircular,
# so that rounded incircle tests (scipy's Qhull among them) pick non-Delaunay
# edges; tessaro's must be Delaunay in exact arithmetic.
@pytest.mark.parametrize("offset, seed", [(1e6, 0), (1e6, 1), (1e8, 2), (1e8, 3)])
def test_exact_on_nearly_cocircular_points_far_out(offset, seed):
    circle = [(0, 5), (0, -5), (5, 0), (-5, 0), (3, 4), (3, -4), (-3, 4), (-3, -4),
              (4, 3), (4, -3), (-4, 3), (-4, -3)]
    ulps = np.random.default_rng(seed).integers(-2, 3, (len(circle), 2))
    points = np.array(circle) * 0.01 + offset + ulps * np.spacing(offset)
    tri = tessaro.triangulate(points)
    check_exact_delaunay(points.tolist(), tri)
    assert len(tri.triangles) == 2 * len(points) - 2 - len(tri.hull)


def exact_hull(points):
    """Monotone chain in exact arithmetic, keeping points on hull edges, counterclockwise."""
    order = sorted(range(len(points)), key=lambda i: tuple(points[i]))
    chain = []
    for sweep in (order, order[::-1]):
        part = []
        for i in sweep:
            while len(part) > 1 and orient(points[part[-2]], points[part[-1]], points[i]) < 0:
                part.pop()
            part.append(i)
        chain += part[:-1]
    return chain


@pytest.mark.parametrize("offset, seed", [(1e6, 5), (1e8, 6)])
def test_exact_hull_of_nearly_collinear_points_far_out(offset, seed):
    x = offset + np.linspace(0, 1000, 40)
    ulps = np.random.default_rng(seed).integers(-3, 4, (40, 2))
    points = np.stack([x, x], axis=1) + ulps * np.spacing(2 * offset)
    points = np.vstack([points, [offset + 500, offset + 400]]).tolist()
    tri = tessaro.triangulate(points)
    assert tri.hull.tolist() == exact_hull(points)
    check_exact_delaunay(points, tri)


POINTS = np.random.default_rng(7).uniform(0, 8, (200, 2))


@pytest.mark.parametrize("layout", [
    lambda p: p.astype(np.float32).astype(np.float64),
    lambda p: np.asfortranarray(p),
    lambda p: np.repeat(p, 2, axis=0)[::2],
    lambda p: p.astype(">f8"),
    lambda p: p.astype(np.float16).astype(np.float32),
    lambda p: (p * 1000).astype(np.int64),
    lambda p: (p * 1000).astype(np.int32).tolist(),
    lambda p: np.frombuffer(b"-" + p.tobytes(), np.float64, offset=1).reshape(-1, 2),
], ids=["float32 values", "fortran", "strided", "big-endian", "float16", "int64", "list",
        "unaligned"])
def test_every_layout_gives_the_float64_answer(layout):
    points = layout(POINTS)
    expected = tessaro.triangulate(np.ascontiguousarray(points, dtype=np.float64))
    tri = tessaro.triangulate(points)
    assert np.array_equal(tri.triangles, expected.triangles)
    assert np.array_equal(tri.halfedges, expected.halfedges)


def test_non_finite_and_repeated_rows_are_left_out():
    bad = POINTS.copy()
    bad[[3, 50]] = [np.nan, 1.0], [2.0, np.inf]
    bad[77] = bad[10]
    tri = tessaro.triangulate(bad)
    used = set(tri.triangles.ravel().tolist())
    assert not used & {3, 50, 77}
    kept = sorted(set(range(len(bad))) - {3, 50, 77})
    alone = tessaro.triangulate(bad[kept])
    assert triangle_set(np.array(kept)[alone.triangles]) == triangle_set(tri.triangles)


def test_threads_and_ownership():
    points = np.random.default_rng(8).uniform(-1, 1, (40000, 2))
    one, two = tessaro.triangulate(points, threads=1), tessaro.triangulate(points, threads=2)
    assert np.array_equal(one.triangles, two.triangles)
    triangles = two.triangles
    del two  # the arrays keep the triangulation alive
    assert np.array_equal(triangles, one.triangles)
    with pytest.raises(ValueError):
        triangles[0, 0] = 1


SQUARE = np.array([[0, 0], [10, 0], [10, 10], [0, 10], [3, 3], [7, 3], [7, 7], [3, 7]], float)
TRI = tessaro.triangulate(SQUARE)


@pytest.mark.parametrize("call, error, message", [
    (lambda: tessaro.triangulate("points"), TypeError, "real numbers"),
    (lambda: tessaro.triangulate([[1 + 2j, 0]]), TypeError, "complex"),
    (lambda: tessaro.triangulate(np.zeros((4, 3))), ValueError, r"\(n, 2\).*\(4, 3\)"),
    (lambda: tessaro.triangulate(np.zeros(8)), ValueError, r"shape \(8,\)"),
    (lambda: tessaro.triangulate(SQUARE, [0, 1, 2]), ValueError, "odd"),
    (lambda: tessaro.triangulate(SQUARE, [[0, 1, 2]]), ValueError, "shape"),
    (lambda: tessaro.triangulate(SQUARE, [[0.0, 1.5]]), TypeError, "integer"),
    (lambda: tessaro.triangulate(SQUARE, [[0, -1]]), ValueError, "negative"),
    (lambda: tessaro.triangulate(SQUARE, [[0, 8]]), ValueError, "names site 8"),
    (lambda: tessaro.triangulate(SQUARE, [[0, 2], [1, 3]]), ValueError, "cross"),
    (lambda: tessaro.triangulate(SQUARE, threads=-1), ValueError, "threads"),
    (lambda: tessaro.Voronoi(TRI, SQUARE, (0, 0, 10)), ValueError, "four numbers"),
    (lambda: tessaro.Voronoi(TRI, SQUARE, (0, 0, 0, 10)), ValueError, "xmin < xmax"),
    (lambda: tessaro.Voronoi(TRI, SQUARE, (0, np.nan, 1, 10)), ValueError, "finite"),
    (lambda: tessaro.Voronoi(TRI, SQUARE[:5], (0, 0, 1, 1)), ValueError, "built on 8"),
    (lambda: tessaro.Voronoi(tessaro.triangulate(SQUARE, []), SQUARE, (0, 0, 1, 1)),
     ValueError, "without segments"),
    (lambda: tessaro.Voronoi(TRI, SQUARE, (0, 0, 1, 1)).cell(8), IndexError, "site 8"),
    (lambda: tessaro.keep_enclosed(TRI, SQUARE), ValueError, "with segments"),
])
def test_bad_input_raises(call, error, message):
    with pytest.raises(error, match=message):
        call()


def area(polygon):
    x, y = np.asarray(polygon).T
    return 0.5 * float(np.dot(x, np.roll(y, -1)) - np.dot(y, np.roll(x, -1)))


def test_segments_and_keep_enclosed():
    # The outer square and the inner one as segments; the hole is the inner one.
    rings = [[0, 1], [1, 2], [2, 3], [3, 0], [4, 5], [5, 6], [6, 7], [7, 4]]
    diagonal = tessaro.triangulate(SQUARE, segments=np.array([0, 4, 4, 6, 6, 2], np.int16))
    t = diagonal.triangles.ravel()
    marked = {(int(t[e]), int(t[e - 2 if e % 3 == 2 else e + 1]))
              for e in np.flatnonzero(diagonal.constrained)}
    assert {tuple(sorted(e)) for e in marked} == {(0, 4), (4, 6), (2, 6)}

    tri = tessaro.triangulate(SQUARE, segments=rings)
    assert tri.constrained.dtype == bool and tri.constrained.sum() == 4 + 2 * 4  # hull: one side
    domain = tessaro.keep_enclosed(tri, SQUARE, holes=[[5, 5]])
    check_structure(domain)
    assert sum(area(SQUARE[k]) for k in domain.triangles) == pytest.approx(100 - 16)
    assert len(domain.hull) == 0 and len(tri.triangles) == 10  # tri is left as it was
    whole = tessaro.keep_enclosed(tri, SQUARE)
    assert len(whole.triangles) == 10


def test_voronoi_cells_tile_the_box_around_their_sites():
    points = np.random.default_rng(9).uniform(0, 1, (300, 2))
    tri = tessaro.triangulate(points)
    voronoi = tessaro.Voronoi(tri, points, (-0.5, 0, 1.5, 1))
    assert voronoi.bounds == (-0.5, 0.0, 1.5, 1.0)
    cells = [voronoi.cell(i) for i in range(len(points))]
    assert sum(area(c) for c in cells) == pytest.approx(2.0)
    for site, cell in zip(points, cells):
        edges = np.roll(cell, -1, axis=0) - cell
        assert (np.cross(edges, site - cell) > 0).all()  # site inside, corners counterclockwise
    corners = points[tri.triangles]
    radii = np.linalg.norm(corners - voronoi.circumcenters[:, None, :], axis=2)
    assert np.allclose(radii, radii[:, :1])
    assert repr(voronoi) == (f"<tessaro.Voronoi: 300 points, {len(tri.triangles)} vertices, "
                             "bounds (-0.5, 0.0, 1.5, 1.0)>")


def stub_api(node):
    """Public names the stub declares under node: a function's parameter names (without self),
    a class's members, or None for an attribute or property."""
    api = {}
    for item in node.body:
        if isinstance(item, ast.FunctionDef):
            is_property = any(getattr(d, "id", None) == "property" for d in item.decorator_list)
            keyword_only = (["*"] + [a.arg for a in item.args.kwonlyargs]
                            if item.args.kwonlyargs else [])
            api[item.name] = None if is_property else [
                a.arg for a in item.args.args if a.arg != "self"] + keyword_only
        elif isinstance(item, ast.ClassDef):
            api[item.name] = stub_api(item)
        elif isinstance(item, ast.AnnAssign):
            api[item.target.id] = None
    return api


def runtime_api(owner, names):
    """The same from the extension itself: parameter names from pybind11's signature lines."""
    api = {}
    for name in names:
        value = getattr(owner, name)
        if isinstance(value, type):
            # __init__ where Python can construct the class (pybind11 signs it then).
            members = [n for n, v in vars(value).items() if not n.startswith("_") or
                       (n == "__init__" and (v.__doc__ or "").startswith("__init__("))]
            api[name] = runtime_api(value, members)
        elif callable(value) and not isinstance(value, property):
            signature = value.__doc__.splitlines()[0]
            params = re.match(r"\w+\((.*)\) ->", signature).group(1)
            api[name] = [p.split(":")[0] for p in params.split(", ") if p and
                         not p.startswith("self")]
        else:
            api[name] = None
    return api


def test_the_type_stub_declares_the_extension_as_it_is():
    package = Path(tessaro.__file__).parent
    assert (package / "py.typed").exists()
    stub = stub_api(ast.parse((package / "_core.pyi").read_text()))
    public = [n for n in vars(tessaro._core) if not n.startswith("_") or n == "__version__"]
    assert stub == runtime_api(tessaro._core, public)



RINGS = [[0, 1], [1, 2], [2, 3], [3, 0], [4, 5], [5, 6], [6, 7], [7, 4]]


def test_refine_meets_the_bounds_exactly():
    mesh = tessaro.refine(SQUARE, RINGS, [[5, 5]], min_angle=32, max_area=0.5)
    p, t, h = mesh.points, mesh.triangles, mesh.halfedges
    assert (p[:8] == SQUARE).all() and p.dtype == np.float64 and t.dtype == np.uint32
    assert sum(area(p[k]) for k in t) == pytest.approx(100 - 16)
    corners = p[t]
    sides = np.linalg.norm(np.roll(corners, -1, axis=1) - corners, axis=2)
    doubled = np.abs(np.cross(corners[:, 1] - corners[:, 0], corners[:, 2] - corners[:, 0]))
    smallest = np.degrees(np.arcsin(doubled * sides.min(axis=1) / sides.prod(axis=1)))
    assert smallest.min() >= 32 - 1e-9 and doubled.max() <= 1.0 and mesh.forced_small_angles == 0
    flat = t.ravel()
    nxt = lambda e: e - 2 if e % 3 == 2 else e + 1
    for e, o in enumerate(h):
        assert orient(*p[t[e // 3]]) > 0 if e % 3 == 0 else True
        if o != tessaro.NONE and not mesh.constrained[e]:
            assert incircle(*p[t[e // 3]], p[flat[nxt(nxt(o))]]) <= 0
    # The pieces of each segment join its ends, in order, along constrained edges.
    marked = {(int(flat[e]), int(flat[nxt(e)])) for e in np.flatnonzero(mesh.constrained)}
    for s, (a, b) in enumerate(RINGS):
        pieces = mesh.segments[mesh.segments[:, 2] == s]
        assert pieces[0, 0] == a and pieces[-1, 1] == b and (pieces[1:, 0] == pieces[:-1, 1]).all()
        assert all((f, g) in marked or (g, f) in marked for f, g, _ in pieces)
    with pytest.raises(ValueError):
        tessaro.refine(SQUARE, RINGS, min_angle=60)
    with pytest.raises(RuntimeError, match="maxSteiner = 5"):
        tessaro.refine(SQUARE, RINGS, max_area=1e-3, max_steiner=5)


def test_meshes_go_through_meshio_and_back(tmp_path):
    meshio = pytest.importorskip("meshio")
    mesh = tessaro.refine(SQUARE, RINGS, [[5, 5]], min_angle=30, max_area=1)
    written = meshio.Mesh(np.c_[mesh.points, np.zeros(len(mesh.points))],
                          [("triangle", mesh.triangles.astype(np.int64))])
    files = {"m.vtu": None, "m.msh": "gmsh22"}
    for name, file_format in files.items():
        meshio.write(tmp_path / name, written, file_format=file_format)  # binary: exact
        back = meshio.read(tmp_path / name)
        assert (back.points[:, :2] == mesh.points).all()
        assert (back.cells_dict["triangle"] == mesh.triangles).all()
    # The command-line tool's writers, where the build names it.
    tool = os.environ.get("TESSARO_TRIANGULATE")
    if tool:
        poly = tmp_path / "ring.poly"
        poly.write_text("8 2 0 0\n" + "".join(f"{i} {x} {y}\n" for i, (x, y) in enumerate(SQUARE))
                        + "8 0\n" + "".join(f"{i} {a} {b}\n" for i, (a, b) in enumerate(RINGS))
                        + "1\n0 5 5\n")
        for name in files:
            subprocess.run([tool, "--min-angle", "30", "--max-area", "1", "--mesh",
                            str(tmp_path / ("tool-" + name)), str(poly)], check=True)
            back = meshio.read(tmp_path / ("tool-" + name))
            assert (back.points[:, :2] == mesh.points).all()
            assert (back.cells_dict["triangle"] == mesh.triangles).all()
            if name.endswith(".msh"):
                assert len(back.cells_dict["line"]) == len(mesh.segments)
