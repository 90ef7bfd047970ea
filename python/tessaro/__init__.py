"""Exact Delaunay triangulations, constrained triangulations and Voronoi cells of
2-D points, quality meshes (refine), point location and interpolation of
scattered data (griddata), on numpy arrays.

    >>> import numpy as np, tessaro
    >>> points = np.array([[0, 0], [4, 0], [2, 3], [0, 4], [4, 4]], dtype=float)
    >>> tri = tessaro.triangulate(points)
    >>> tri.triangles.shape
    (4, 3)
    >>> tessaro.Voronoi(tri, points, (0, 0, 4, 4)).cell(2)   # (k, 2) corners

Every decision (orientation, incircle) is exact on the float64 or float32
coordinates given, so nearly collinear or nearly cocircular points get the
one correct answer. Index arrays are uint32, laid out as delaunator's, but
triangles and hull run counterclockwise with y up where delaunator's run
clockwise; tessaro.NONE (0xffffffff) marks a half-edge on the hull.

The work is done by the compiled extension tessaro._core; this package
re-exports it and adds what is written in Python: tessaro.distributed
triangulates points past one machine's memory in tiles on Dask (imported on
its own, as it needs dask).
"""

from ._core import (NONE, Locator, Mesh, Triangulation, Voronoi, __version__, keep_enclosed,
                    refine, triangulate)
from .interpolate import LinearInterpolator, NaturalNeighborInterpolator, griddata

__all__ = ["NONE", "Mesh", "Triangulation", "Voronoi", "keep_enclosed", "refine", "triangulate",
           "__version__", "Locator", "griddata", "LinearInterpolator",
           "NaturalNeighborInterpolator"]
