# Types of the compiled extension tessaro._core, which the package tessaro
# re-exports: what editors and type checkers know of the API.
from typing import Optional, Tuple

import numpy as np
import numpy.typing as npt

__version__: str
NONE: int

class Triangulation:
    """A triangulation as flat index arrays, in delaunator's conventions."""

    @property
    def triangles(self) -> npt.NDArray[np.uint32]: ...
    @property
    def halfedges(self) -> npt.NDArray[np.uint32]: ...
    @property
    def hull(self) -> npt.NDArray[np.uint32]: ...
    @property
    def constrained(self) -> Optional[npt.NDArray[np.bool_]]: ...

class Voronoi:
    """The Voronoi diagram dual to a Delaunay triangulation, clipped to a box."""

    def __init__(
        self,
        tri: Triangulation,
        points: npt.ArrayLike,
        bounds: Tuple[float, float, float, float],
    ) -> None: ...
    def cell(self, i: int) -> npt.NDArray[np.float64]: ...
    @property
    def circumcenters(self) -> npt.NDArray[np.float64]: ...
    @property
    def bounds(self) -> Tuple[float, float, float, float]: ...

def triangulate(
    points: npt.ArrayLike,
    segments: Optional[npt.ArrayLike] = None,
    threads: int = 0,
) -> Triangulation: ...
def keep_enclosed(
    tri: Triangulation,
    points: npt.ArrayLike,
    holes: Optional[npt.ArrayLike] = None,
) -> Triangulation: ...

class Mesh:
    """A quality mesh from refine(): the input points first, then the new ones."""

    @property
    def points(self) -> npt.NDArray[np.float64]: ...
    @property
    def triangles(self) -> npt.NDArray[np.uint32]: ...
    @property
    def halfedges(self) -> npt.NDArray[np.uint32]: ...
    @property
    def constrained(self) -> npt.NDArray[np.bool_]: ...
    @property
    def segments(self) -> npt.NDArray[np.uint32]: ...
    @property
    def forced_small_angles(self) -> int: ...

def refine(
    points: npt.ArrayLike,
    segments: Optional[npt.ArrayLike] = None,
    holes: Optional[npt.ArrayLike] = None,
    *,
    min_angle: float = 20.0,
    max_area: Optional[float] = None,
    convex_hull: bool = False,
    max_steiner: int = 0,
) -> Mesh: ...

class Locator:
    """Which triangle holds a point, and which site is nearest, decided exactly."""

    def __init__(self, tri: Triangulation, points: npt.ArrayLike, threads: int = 0) -> None: ...
    def find(self, xi: npt.ArrayLike, threads: int = 0) -> npt.NDArray[np.int64]: ...
    def nearest(self, xi: npt.ArrayLike, threads: int = 0) -> npt.NDArray[np.int64]: ...

class Interpolator:
    """Values given at the sites, interpolated at points or on a regular grid."""

    def __init__(
        self,
        tri: Triangulation,
        points: npt.ArrayLike,
        values: npt.ArrayLike,
        threads: int = 0,
    ) -> None: ...
    def at(
        self,
        xi: npt.ArrayLike,
        method: str = "linear",
        fill_value: float = ...,
        threads: int = 0,
    ) -> npt.NDArray[np.float64]: ...
    def grid(
        self,
        xmin: float,
        ymin: float,
        dx: float,
        dy: float,
        nx: int,
        ny: int,
        method: str = "linear",
        fill_value: float = ...,
        threads: int = 0,
    ) -> npt.NDArray[np.float64]: ...
