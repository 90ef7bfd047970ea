"""griddata, the interpolators and Locator against scipy.interpolate and exact
rational arithmetic."""

from fractions import Fraction

import numpy as np
import pytest
from scipy.interpolate import griddata as scipy_griddata

import tessaro
from test_tessaro import orient

RNG = np.random.default_rng(21)
POINTS = RNG.random((3000, 2))
VALUES = np.column_stack([np.sin(6 * POINTS[:, 0]) * POINTS[:, 1], POINTS[:, 0] ** 2])
GRID = tuple(np.meshgrid(np.linspace(-0.1, 1.1, 70), np.linspace(-0.05, 1.05, 50)))
SCATTERED = RNG.uniform(-0.2, 1.2, (500, 2))


@pytest.mark.parametrize("method", ["linear", "nearest"])
@pytest.mark.parametrize("xi", [GRID, SCATTERED], ids=["meshgrid", "array"])
@pytest.mark.parametrize("values", [VALUES[:, 0], VALUES], ids=["(n,)", "(n, 2)"])
def test_griddata_as_scipy(method, xi, values):
    ours = tessaro.griddata(POINTS, values, xi, method=method, fill_value=-1.0)
    theirs = scipy_griddata(POINTS, values, xi, method=method, fill_value=-1.0)
    assert ours.shape == theirs.shape and ours.dtype == theirs.dtype
    np.testing.assert_allclose(ours, theirs, rtol=0, atol=1e-12)


def test_natural_neighbour_reproduces_sites_and_linear_functions():
    linear = 2 + 3 * POINTS[:, 0] - 5 * POINTS[:, 1]
    f = tessaro.NaturalNeighborInterpolator(POINTS, linear)
    assert np.array_equal(f(POINTS), linear)  # exactly at the sites
    inside = SCATTERED[~np.isnan(tessaro.griddata(POINTS, linear, SCATTERED))]
    np.testing.assert_allclose(f(inside), 2 + 3 * inside[:, 0] - 5 * inside[:, 1], atol=1e-12)
    # Weights are positive and sum to one: values stay within the data's range.
    smooth = tessaro.griddata(POINTS, VALUES[:, 0], GRID, method="natural")
    assert np.nanmin(smooth) >= VALUES[:, 0].min() and np.nanmax(smooth) <= VALUES[:, 0].max()
    assert np.array_equal(np.isnan(smooth), np.isnan(tessaro.griddata(POINTS, VALUES[:, 0], GRID)))
    g = tessaro.LinearInterpolator(POINTS, VALUES[:, 0] * 1j, fill_value=0)
    assert g(3.0, 3.0) == 0 and g(POINTS[:2]).imag.tolist() == VALUES[:2, 0].tolist()


def holding(points, triangles, q):
    """The lowest triangle whose closed area holds q, exactly, or -1."""
    for k, (a, b, c) in enumerate(triangles):
        corners = points[[a, b, c]]
        if all(orient(corners[i], corners[(i + 1) % 3], q) >= 0 for i in range(3)):
            return k
    return -1


def test_locator_exactly_on_sites_edges_hull_and_holes():
    # A square frame around a square hole, and a lattice's cocircular points.
    frame = np.array([[0, 0], [4, 0], [4, 4], [0, 4], [1, 1], [3, 1], [3, 3], [1, 3]], float)
    rings = [[0, 1], [1, 2], [2, 3], [3, 0], [4, 5], [5, 6], [6, 7], [7, 4]]
    carved = tessaro.keep_enclosed(tessaro.triangulate(frame, rings), frame, [[2, 2]])
    lattice = np.array([[x, y] for x in range(4) for y in range(3)], float)
    for points, tri in [(frame, carved), (lattice, tessaro.triangulate(lattice))]:
        corners = points[tri.triangles]
        queries = np.concatenate([points, corners.mean(axis=1), (corners + np.roll(corners, 1, 1))
                                  .reshape(-1, 2) / 2, [[2, 2], [-1, 0], [9, 9], [1.5, 1]]])
        locator = tessaro.Locator(tri, points)
        found = locator.find(queries)
        assert found.dtype == np.int64
        assert found.tolist() == [holding(points, tri.triangles, q) for q in queries]
        used = np.unique(tri.triangles)
        distances = [[Fraction(float(dx)) ** 2 + Fraction(float(dy)) ** 2 for dx, dy in q - points[used]]
                     for q in queries]
        assert locator.nearest(queries).tolist() == [int(used[np.argmin(d)]) for d in distances]
    assert found.reshape(1, -1).shape == locator.find(queries[None]).shape


@pytest.mark.parametrize("call, error, message", [
    (lambda: tessaro.griddata(POINTS, VALUES, SCATTERED, method="cubic"), ValueError, "method"),
    (lambda: tessaro.griddata(POINTS[:, :1], VALUES, SCATTERED), ValueError, r"\(n, 2\)"),
    (lambda: tessaro.griddata(POINTS, VALUES[:5], SCATTERED), ValueError, "one row per point"),
    (lambda: tessaro.griddata(POINTS, VALUES, SCATTERED[:, :1]), ValueError, "last axis"),
    (lambda: tessaro.griddata(POINTS.astype(str), VALUES, SCATTERED), TypeError, "real numbers"),
    (lambda: tessaro.griddata(POINTS, VALUES.astype(str), SCATTERED), TypeError, "numbers"),
    (lambda: tessaro.LinearInterpolator(POINTS, VALUES)("a", "b"), TypeError, "real numbers"),
    (lambda: tessaro.Locator(tessaro.triangulate(POINTS), POINTS[:9]), ValueError, "rows"),
    (lambda: tessaro.Locator(tessaro.triangulate(POINTS), POINTS).find([1, 2, 3]), ValueError,
     "last axis"),
])
def test_bad_input_raises(call, error, message):
    with pytest.raises(error, match=message):
        call()
