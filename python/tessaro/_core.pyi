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
