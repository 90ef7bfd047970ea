// The extension module tessaro._core, which the package tessaro re-exports:
// the core's front door on numpy arrays.
//
// Points are read in place when they are a C-contiguous float64 or float32
// array and converted to float64 otherwise. Results are numpy arrays that
// look at the std::vectors the core returned (read-only, kept alive by the
// object that owns them), so nothing is copied on the way out. The GIL is
// released while the core works. The core's std::invalid_argument and
// std::length_error reach Python as ValueError with their message.

#include "Bindings.h"

#include <edgealgebra/Triangulate.h>

namespace py = pybind11;

namespace {

constexpr const char* kModuleDoc = R"doc(
Exact Delaunay triangulations and Voronoi cells of 2-D points, on numpy arrays.

    >>> import numpy as np, tessaro
    >>> points = np.array([[0, 0], [4, 0], [2, 3], [0, 4], [4, 4]], dtype=float)
    >>> tri = tessaro.triangulate(points)
    >>> tri.triangles.shape
    (4, 3)
    >>> tessaro.Voronoi(tri, points, (0, 0, 4, 4)).cell(2)   # (k, 2) corners

Every decision (orientation, incircle) is exact on the float64 or float32
coordinates given, so nearly collinear or nearly cocircular points get the
one correct answer. Index arrays are uint32, in delaunator's conventions;
tessaro.NONE (0xffffffff) marks a half-edge on the hull.
)doc";

} // namespace

PYBIND11_MODULE(_core, m) {
    m.doc() = kModuleDoc;
    m.attr("__version__") = TESSARO_VERSION;
    m.attr("NONE") = py::int_(EdgeAlgebra::kNone);
    TessaroPython::bindTriangulate(m);
}
