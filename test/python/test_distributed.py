"""tessaro.distributed against tessaro.triangulate: the same triangles, each once,
on a real two-worker cluster (loopback only) and on the threaded scheduler."""

import numpy as np
import pytest

import tessaro
import tessaro.distributed

da = pytest.importorskip("dask.array")
distributed = pytest.importorskip("distributed")


@pytest.fixture(scope="module")
def client():
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  host="127.0.0.1", dashboard_address="127.0.0.1:0") as cluster:
        with distributed.Client(cluster) as c:
            yield c


def rows(triangles):
    """Each triangle from its lowest index on (orientation kept), rows sorted."""
    t = np.asarray(triangles, dtype=np.int64).reshape(-1, 3)
    t = t[np.arange(len(t))[:, None], (np.argmin(t, axis=1)[:, None] + np.arange(3)) % 3]
    return t[np.lexsort(t.T[::-1])]


# A few hundred thousand points in tiles of a few thousand: many tiles, halos
# and rounds.
POINTS = 200_000


def uniform(rng):
    return rng.random((POINTS, 2))


def blobs(rng):
    centres = rng.random((4, 2)) * 100
    return (centres[rng.integers(0, 4, POINTS)] + rng.normal(0, 0.5, (POINTS, 2))).astype(np.float32)


def grid(rng):
    g = np.stack(np.meshgrid(np.arange(450.0), np.arange(450.0)), -1).reshape(-1, 2)
    return g[rng.permutation(len(g))]


def with_repeats_and_holes(rng):
    """Grid rows repeated far apart in index order, and NaN and infinite rows."""
    g = grid(rng)[:POINTS * 8 // 10]
    points = np.concatenate([g, g[rng.integers(0, len(g), POINTS // 10)],
                             np.full((POINTS // 100, 2), np.nan)])
    points[rng.integers(0, len(points), POINTS // 100), rng.integers(0, 2, POINTS // 100)] = np.inf
    return points[rng.permutation(len(points))]


@pytest.mark.parametrize("scheduler", ["cluster", "threads"])
@pytest.mark.parametrize("make", [uniform, blobs, grid, with_repeats_and_holes])
def test_same_triangles_as_one_machine(make, scheduler, request):
    points = make(np.random.default_rng(7))
    client = request.getfixturevalue("client") if scheduler == "cluster" else None
    chunked = da.from_array(points, chunks=(len(points) // 5 + 1, 2))
    result = tessaro.distributed.triangulate(chunked, tile_points=8000, client=client)
    assert result.dtype == np.int64 and result.shape[1] == 3
    got = result.compute() if client is None else client.compute(result).result()
    expected = rows(tessaro.triangulate(points).triangles)
    assert len(got) == result.shape[0]
    np.testing.assert_array_equal(rows(got), expected)


def test_small_and_bad_input():
    assert tessaro.distributed.triangulate(np.zeros((0, 2))).shape == (0, 3)
    line = np.stack([np.arange(10.0), np.arange(10.0)], 1)
    assert tessaro.distributed.triangulate(line, tile_points=3).compute().shape == (0, 3)
    square = np.array([[0, 0], [1, 0], [1, 1], [0, 1], [0.5, 0.5]])
    np.testing.assert_array_equal(rows(tessaro.distributed.triangulate(square).compute()),
                                  rows(tessaro.triangulate(square).triangles))
    with pytest.raises(ValueError, match="shape"):
        tessaro.distributed.triangulate(np.zeros((4, 3)))


def in_circle_exactly(corners, point):
    """Whether the point lies in the closed circumscribed disk, in rationals."""
    from fractions import Fraction

    px, py = Fraction(float(point[0])), Fraction(float(point[1]))
    rows = []
    for k in range(3):
        dx, dy = Fraction(float(corners[2 * k])) - px, Fraction(float(corners[2 * k + 1])) - py
        rows.append((dx, dy, dx * dx + dy * dy))
    (a, b, c), (d, e, f), (g, h, i) = rows
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g) >= 0


@pytest.mark.parametrize("scale", [1.0, 1e-150, 1e150, 3e-300])
def test_in_circle_matches_rationals(scale):
    """The double-precision test with its error bound against rationals, on
    cocircular grid points, near-circle points and far-apart magnitudes."""
    from tessaro.distributed import _in_circle

    rng = np.random.default_rng(3)
    corners = np.array([0.0, 0.0, 4.0, 0.0, 4.0, 3.0]) * scale
    grid = np.stack(np.meshgrid(np.arange(-2.0, 7), np.arange(-2.0, 6)), -1).reshape(-1, 2)
    near = np.repeat([[0.0, 3.0], [2.0, 4.0]], 200, axis=0) + rng.normal(0, 1e-15, (400, 2))
    points = np.concatenate([grid, near, rng.normal(2, 3, (200, 2))]) * scale
    got = _in_circle(corners, points[:, 0], points[:, 1])
    expected = [in_circle_exactly(corners, p) for p in points]
    np.testing.assert_array_equal(got, expected)


@pytest.mark.parametrize("make", [uniform, blobs, grid, lambda rng: np.c_[
    np.cos(np.arange(5000.0)), np.sin(np.arange(5000.0))] * 1e12])
def test_hull_candidates_hold_the_hull(make):
    """The compiled filter drops only points strictly inside the hull."""
    from tessaro._core import _hull_candidates

    points = make(np.random.default_rng(5))
    hull = np.asarray(tessaro.triangulate(points).hull)
    assert np.isin(hull, _hull_candidates(points)).all()
