"""Interpolation of scattered 2-D data, in the conventions of scipy.interpolate.

    >>> import numpy as np, tessaro
    >>> rng = np.random.default_rng(0)
    >>> points = rng.random((1000, 2))
    >>> values = np.sin(6 * points[:, 0]) * points[:, 1]
    >>> gx, gy = np.meshgrid(np.linspace(0, 1, 200), np.linspace(0, 1, 100))
    >>> tessaro.griddata(points, values, (gx, gy), method="natural").shape
    (100, 200)

The triangulation is tessaro's exact Delaunay triangulation; the work runs in
the compiled core on all hardware threads, without the GIL.
"""

import numpy as np

from ._core import Interpolator, Locator, triangulate

__all__ = ["griddata", "LinearInterpolator", "NaturalNeighborInterpolator"]

_METHODS = ("linear", "natural", "nearest")


def _points(points):
    """An (n, 2) float64 array from an (n, 2) array or a tuple (x, y) of 1-D arrays."""
    if isinstance(points, tuple):
        points = np.column_stack([np.asarray(p).ravel() for p in points])
    points = np.asarray(points)
    if points.dtype.kind not in "fiu":
        raise TypeError(f"points must hold real numbers, got dtype {points.dtype}")
    if points.ndim != 2 or points.shape[1] != 2:
        raise ValueError(f"points must be an (n, 2) array of x, y rows, got shape {points.shape}")
    return np.ascontiguousarray(points, dtype=np.float64)


def _xi(args):
    """Query points as an array with x, y along its last axis: one such array,
    or a tuple of arrays (meshgrid output), broadcast against each other."""
    xi = args[0] if len(args) == 1 else tuple(args)
    if isinstance(xi, tuple):
        if len(xi) != 2:
            raise ValueError(f"xi must be a tuple of two arrays (x, y), got {len(xi)}")
        parts = np.broadcast_arrays(*[np.asarray(p) for p in xi])
        for part in parts:
            if part.dtype.kind not in "fiu":
                raise TypeError(f"xi must hold real numbers, got dtype {part.dtype}")
        return np.stack(parts, axis=-1).astype(np.float64, copy=False)
    xi = np.asarray(xi)
    if xi.dtype.kind not in "fiu":
        raise TypeError(f"xi must hold real numbers, got dtype {xi.dtype}")
    if xi.ndim < 1 or xi.shape[-1] != 2:
        raise ValueError(f"xi must have x, y along its last axis, got shape {xi.shape}")
    return xi


def _values(values, n):
    values = np.asarray(values)
    if values.dtype.kind not in "fiuc":
        raise TypeError(f"values must hold numbers, got dtype {values.dtype}")
    if values.ndim < 1 or values.shape[0] != n:
        raise ValueError(f"values must have one row per point ({n}), got shape {values.shape}")
    return values


def _rescaling(points, rescale):
    """Offset and scale that map the points' box onto the unit square (as
    scipy's rescale does), or nothing when not asked for."""
    if not rescale or len(points) == 0:
        return np.zeros(2), np.ones(2)
    offset = np.nanmin(points, axis=0)
    scale = np.nanmax(points - offset, axis=0)
    return offset, np.where(scale > 0, scale, 1.0)


class _Scattered:
    """Scattered data prepared once: the triangulation and the values as
    float64 columns (complex values as their real and imaginary parts)."""

    def __init__(self, points, values, fill_value=np.nan, rescale=False):
        points = _points(points)
        values = _values(values, points.shape[0])
        self._offset, self._scale = _rescaling(points, rescale)
        points = (points - self._offset) / self._scale
        self._value_shape = values.shape[1:]
        self._complex = np.iscomplexobj(values)
        columns = values.reshape(values.shape[0], -1)
        if self._complex:
            columns = np.concatenate([columns.real, columns.imag], axis=1)
        self._columns = columns.shape[1]
        self.fill_value = fill_value
        self.tri = triangulate(points)
        self._interpolator = Interpolator(
            self.tri, points, np.ascontiguousarray(columns, dtype=np.float64))

    def _evaluate(self, xi, method):
        xi = (np.asarray(xi, dtype=np.float64) - self._offset) / self._scale
        shape = xi.shape[:-1]
        flat = np.ascontiguousarray(xi.reshape(-1, 2))
        if not self._complex:
            out = self._interpolator.at(flat, method, float(self.fill_value))
            return out.reshape(shape + self._value_shape)
        out = self._interpolator.at(flat, method, np.nan).reshape(len(flat), self._columns)
        half = self._columns // 2
        out = out[:, :half] + 1j * out[:, half:]
        out[np.isnan(out.real).all(axis=1)] = self.fill_value  # outside: every column filled
        return out.reshape(shape + self._value_shape)


class LinearInterpolator(_Scattered):
    """LinearInterpolator(points, values, fill_value=nan, rescale=False)

    Piecewise linear interpolation on the exact Delaunay triangulation of
    `points`, as scipy.interpolate.LinearNDInterpolator: build once, then call
    with xi (an array with x, y along its last axis, or x and y arrays).
    Outside the convex hull the result is fill_value.
    """

    def __call__(self, *args):
        return self._evaluate(_xi(args), "linear")


class NaturalNeighborInterpolator(_Scattered):
    """NaturalNeighborInterpolator(points, values, fill_value=nan, rescale=False)

    Sibson's natural neighbour interpolation: smooth between the points (its
    gradient is continuous away from them), exactly the data at the points,
    linear along the hull, and exact for linear functions. Called like
    LinearInterpolator; fill_value outside the convex hull.
    """

    def __call__(self, *args):
        return self._evaluate(_xi(args), "natural")


def griddata(points, values, xi, method="linear", fill_value=np.nan, rescale=False):
    """griddata(points, values, xi, method="linear", fill_value=nan, rescale=False)

    Interpolates scattered 2-D data at xi, as scipy.interpolate.griddata does
    for two dimensions: points an (n, 2) array (or a tuple of x and y arrays),
    values an (n,) or (n, ...) array, xi an (m, 2) array or a tuple of arrays
    (meshgrid output). Returns an array of xi's shape (without its x, y axis)
    followed by values.shape[1:].

    method: "linear" (barycentric on the Delaunay triangulation), "natural"
    (Sibson's natural neighbour interpolation) or "nearest" (the value of the
    nearest point, everywhere, as scipy's). Points outside the convex hull get
    fill_value with "linear" and "natural".
    """
    if method not in _METHODS:
        raise ValueError(f"method must be one of {', '.join(_METHODS)}, got {method!r}")
    xi = _xi((xi,))
    if method != "nearest":
        return _Scattered(points, values, fill_value, rescale)._evaluate(xi, method)
    points = _points(points)
    values = _values(values, points.shape[0])
    offset, scale = _rescaling(points, rescale)
    points = (points - offset) / scale
    locator = Locator(triangulate(points), points)
    nearest = locator.nearest((np.asarray(xi, dtype=np.float64) - offset) / scale)
    out = values[np.maximum(nearest, 0)]
    if (nearest < 0).any():  # no point takes part (fewer than two distinct ones)
        out = out.astype(np.result_type(out, np.asarray(fill_value)))
        out[nearest < 0] = fill_value
    return out
