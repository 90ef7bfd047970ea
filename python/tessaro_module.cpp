// The Python module `tessaro`: the core's front door (triangulate,
// keepEnclosed, Voronoi) on numpy arrays.
//
// Points are read in place when they are a C-contiguous float64 or float32
// array and converted to float64 otherwise. Results are numpy arrays that
// look at the std::vectors the core returned (read-only, kept alive by the
// object that owns them), so nothing is copied on the way out. The GIL is
// released while the core works. The core's std::invalid_argument and
// std::length_error reach Python as ValueError with their message.

#include <edgealgebra/KeepEnclosed.h>
#include <edgealgebra/Triangulate.h>
#include <edgealgebra/Voronoi.h>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace py = pybind11;
using EdgeAlgebra::Triangulation;

namespace {

// The triangulation as Python sees it: the core's arrays and what they were
// built from.
struct PyTriangulation {
    Triangulation t;
    std::size_t sites = 0;
    bool withSegments = false;
    bool carved = false;
};

struct PyVoronoi {
    EdgeAlgebra::Voronoi voronoi;
    std::size_t sites;
};

std::string shapeText(const py::array& a) {
    std::string text = "(";
    for (py::ssize_t d = 0; d < a.ndim(); ++d) {
        text += (d ? ", " : "") + std::to_string(a.shape(d));
    }
    return text + (a.ndim() == 1 ? ",)" : ")");
}

std::string dtypeText(const py::array& a) {
    return py::str(a.dtype()).cast<std::string>();
}

py::array asArray(py::handle values) {
    return py::module_::import("numpy").attr("asarray")(values).cast<py::array>();
}

bool isNumeric(const py::array& a) {
    const char kind = a.dtype().kind();
    return kind == 'f' || kind == 'i' || kind == 'u';
}

// Coordinates as the core reads them: `count` values x0, y0, x1, y1, ... at
// `data`, kept alive by `array`.
struct Coordinates {
    py::array array;
    const void* data = nullptr;
    std::size_t count = 0;
    bool single = false;

    std::size_t rows() const { return count / 2; }
};

// An (n, 2) array of x, y rows, `what` naming it in errors.
Coordinates coordinates(py::handle values, const char* what) {
    py::array a = asArray(values);
    if (!isNumeric(a)) {
        throw py::type_error(std::string(what) + " must hold real numbers, got dtype " +
                             dtypeText(a));
    }
    if (a.ndim() != 2 || a.shape(1) != 2) {
        throw py::value_error(std::string(what) +
                              " must be an (n, 2) array of x, y rows, got shape " + shapeText(a));
    }
    Coordinates c;
    const bool aligned = (a.flags() & py::detail::npy_api::NPY_ARRAY_ALIGNED_) != 0;
    if (aligned && py::array_t<double, py::array::c_style>::check_(a)) {
        c.array = std::move(a);
    } else if (aligned && py::array_t<float, py::array::c_style>::check_(a)) {
        c.array = std::move(a);
        c.single = true;
    } else {
        c.array = py::array_t<double, py::array::c_style | py::array::forcecast>(a);
    }
    c.data = c.array.data();
    c.count = static_cast<std::size_t>(c.array.size());
    return c;
}

std::vector<double> doubles(const Coordinates& c) {
    if (c.single) {
        const float* p = static_cast<const float*>(c.data);
        return std::vector<double>(p, p + c.count);
    }
    const double* p = static_cast<const double*>(c.data);
    return std::vector<double>(p, p + c.count);
}

// Segments: a (k, 2) array of site index pairs, or a flat one of even length.
std::vector<std::uint32_t> segmentList(py::handle values) {
    py::array a = asArray(values);
    if (a.size() == 0 && a.ndim() <= 2) {
        return {}; // np.asarray([]) is float64: no segments, whatever the dtype
    }
    const char kind = a.dtype().kind();
    if (kind != 'i' && kind != 'u') {
        throw py::type_error("segments must hold integer site indices, got dtype " + dtypeText(a));
    }
    if (a.ndim() == 1 && a.shape(0) % 2 != 0) {
        throw py::value_error("segments must hold pairs of site indices, got an odd number (" +
                              std::to_string(a.shape(0)) + ")");
    }
    if (!(a.ndim() == 1 || (a.ndim() == 2 && a.shape(1) == 2))) {
        throw py::value_error("segments must be a (k, 2) array of site index pairs or a flat "
                              "one of even length, got shape " +
                              shapeText(a));
    }
    // Signed and unsigned integers of any width fit one of these two.
    std::vector<std::uint32_t> result(static_cast<std::size_t>(a.size()));
    const auto take = [&result](std::size_t k, long long index) {
        if (index < 0) {
            throw py::value_error("segment " + std::to_string(k / 2) +
                                  " names a negative site index (" + std::to_string(index) + ")");
        }
        if (static_cast<std::uint64_t>(index) > std::numeric_limits<std::uint32_t>::max()) {
            throw py::value_error("segment " + std::to_string(k / 2) + " names site " +
                                  std::to_string(index) + ", beyond 32-bit site indices");
        }
        result[k] = static_cast<std::uint32_t>(index);
    };
    if (kind == 'u') {
        const auto u = py::array_t<std::uint64_t, py::array::c_style | py::array::forcecast>(a);
        for (std::size_t k = 0; k < result.size(); ++k) {
            take(k, static_cast<long long>(std::min<std::uint64_t>(
                        u.data()[k], std::numeric_limits<long long>::max())));
        }
    } else {
        const auto s = py::array_t<std::int64_t, py::array::c_style | py::array::forcecast>(a);
        for (std::size_t k = 0; k < result.size(); ++k) {
            take(k, static_cast<long long>(s.data()[k]));
        }
    }
    return result;
}

unsigned threadCount(long long threads) {
    if (threads < 0 || threads > std::numeric_limits<unsigned>::max()) {
        throw py::value_error("threads must be 0 (every hardware thread) or a positive number, "
                              "got " +
                              std::to_string(threads));
    }
    return static_cast<unsigned>(threads);
}

// A read-only array over `values`, which `owner` keeps alive.
template <typename T>
py::array view(const std::vector<T>& values, std::vector<py::ssize_t> shape, py::handle owner,
               py::dtype dtype = py::dtype::of<T>()) {
    py::array a(std::move(dtype), std::move(shape), {}, values.data(), owner);
    a.attr("setflags")(py::arg("write") = false);
    return a;
}

void checkRows(const PyTriangulation& tri, const Coordinates& points) {
    if (points.rows() != tri.sites) {
        throw py::value_error("points has " + std::to_string(points.rows()) +
                              " rows, but the triangulation was built on " +
                              std::to_string(tri.sites) + " points");
    }
}

PyTriangulation triangulatePoints(py::handle points, py::handle segments, long long threads) {
    const Coordinates c = coordinates(points, "points");
    const unsigned n = threadCount(threads);
    PyTriangulation result;
    result.sites = c.rows();
    result.withSegments = !segments.is_none();
    if (!result.withSegments) {
        py::gil_scoped_release release;
        result.t = c.single
                       ? EdgeAlgebra::triangulate(static_cast<const float*>(c.data), c.count, n)
                       : EdgeAlgebra::triangulate(static_cast<const double*>(c.data), c.count, n);
        return result;
    }
    const std::vector<std::uint32_t> pairs = segmentList(segments);
    py::gil_scoped_release release;
    result.t =
        c.single ? EdgeAlgebra::triangulate(static_cast<const float*>(c.data), c.count, pairs, n)
                 : EdgeAlgebra::triangulate(static_cast<const double*>(c.data), c.count, pairs, n);
    return result;
}

PyTriangulation keepEnclosed(const PyTriangulation& tri, py::handle points, py::handle holes) {
    if (!tri.withSegments) {
        throw py::value_error("keep_enclosed needs a triangulation with segments: without them "
                              "no triangle is enclosed");
    }
    const Coordinates c = coordinates(points, "points");
    checkRows(tri, c);
    std::vector<double> holeCoords;
    if (!holes.is_none()) {
        const py::array h = asArray(holes);
        if (h.size() != 0) {
            holeCoords = doubles(coordinates(h, "holes"));
        }
    }
    std::vector<double> coords = doubles(c);
    PyTriangulation result = tri;
    result.carved = true;
    py::gil_scoped_release release;
    EdgeAlgebra::keepEnclosed(result.t, coords, holeCoords);
    return result;
}

EdgeAlgebra::Box box(py::handle bounds) {
    const py::array b = asArray(bounds);
    if (!isNumeric(b)) {
        throw py::type_error("bounds must hold real numbers, got dtype " + dtypeText(b));
    }
    if (b.ndim() != 1 || b.shape(0) != 4) {
        throw py::value_error("bounds must be four numbers (xmin, ymin, xmax, ymax), got shape " +
                              shapeText(b));
    }
    const auto v = py::array_t<double, py::array::c_style | py::array::forcecast>(b);
    const EdgeAlgebra::Box result{v.at(0), v.at(1), v.at(2), v.at(3)};
    const bool finite = std::isfinite(result.xmin) && std::isfinite(result.ymin) &&
                        std::isfinite(result.xmax) && std::isfinite(result.ymax);
    if (!finite || !(result.xmin < result.xmax) || !(result.ymin < result.ymax)) {
        throw py::value_error("bounds (xmin, ymin, xmax, ymax) must be finite with xmin < xmax "
                              "and ymin < ymax, got " +
                              py::repr(bounds).cast<std::string>());
    }
    return result;
}

std::unique_ptr<PyVoronoi> makeVoronoi(const PyTriangulation& tri, py::handle points,
                                       py::handle bounds) {
    if (tri.withSegments) {
        throw py::value_error("Voronoi needs the Delaunay triangulation of the points, "
                              "from triangulate() without segments");
    }
    const Coordinates c = coordinates(points, "points");
    checkRows(tri, c);
    const EdgeAlgebra::Box b = box(bounds);
    std::vector<double> coords = doubles(c);
    py::gil_scoped_release release;
    return std::make_unique<PyVoronoi>(
        PyVoronoi{EdgeAlgebra::Voronoi(tri.t, std::move(coords), b), tri.sites});
}

py::array cell(const PyVoronoi& v, long long i) {
    if (i < 0 || static_cast<unsigned long long>(i) >= v.sites) {
        throw py::index_error("site " + std::to_string(i) + " out of range: there are " +
                              std::to_string(v.sites) + " points");
    }
    using Polygon = EdgeAlgebra::Voronoi::Polygon;
    static_assert(sizeof(Polygon::value_type) == 2 * sizeof(double), "corners are packed");
    auto polygon = std::make_unique<Polygon>();
    {
        py::gil_scoped_release release;
        *polygon = v.voronoi.cell(static_cast<std::size_t>(i));
    }
    const auto corners = static_cast<py::ssize_t>(polygon->size());
    const double* data = polygon->empty() ? nullptr : polygon->front().data();
    py::capsule owner(polygon.get(), [](void* p) { delete static_cast<Polygon*>(p); });
    polygon.release();
    return py::array_t<double>({corners, py::ssize_t{2}}, data, owner);
}

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

constexpr const char* kTriangulateDoc = R"doc(
triangulate(points, segments=None, threads=0) -> Triangulation

The Delaunay triangulation of `points`, an (n, 2) array of x, y rows. A
C-contiguous float64 or float32 array is read in place; other layouts and
integer dtypes are converted to float64 first. Point i is named by its index.

Rows with a NaN or infinite coordinate appear nowhere; of equal rows only the
first takes part. Fewer than two distinct finite points give empty arrays;
points all on one line give no triangle and a hull along the line.

segments: optional (k, 2) array of point index pairs (or a flat one of even
length). Each becomes an edge of the result (a chain of edges where it runs
through other points), which is then the constrained Delaunay triangulation;
`constrained` marks the segments' half-edges. Segments may share ends but not
cross.

threads: how many threads to build on, 0 for every hardware thread. The
result is the same for any number.

Raises TypeError for non-numeric points or non-integer segments, ValueError
for a wrong shape, an odd segment list, a segment with an index out of range,
with both ends at one point, at a non-finite point, or crossing another.
)doc";

constexpr const char* kTriangulationDoc = R"doc(
A triangulation as flat index arrays, in delaunator's conventions; made by
triangulate() and keep_enclosed(). The arrays are read-only views on the
result (copy them with numpy.array to change them).

triangles   (m, 3) uint32: the point indices of each triangle, counterclockwise.
halfedges   (3m,) uint32: half-edge e runs from triangles.flat[e] to the next
            corner of its triangle (e + 1, or e - 2 when e % 3 == 2);
            halfedges[e] is the opposite half-edge in the neighbouring
            triangle, or tessaro.NONE (0xffffffff) on the boundary.
hull        (k,) uint32: the hull's points counterclockwise, from the first
            point in x-then-y order; empty after keep_enclosed().
constrained (3m,) bool: True on the half-edges that lie on a segment; None for
            a triangulation made without segments.
)doc";

constexpr const char* kKeepEnclosedDoc = R"doc(
keep_enclosed(tri, points, holes=None) -> Triangulation

The triangles of `tri` (made by triangulate() with segments) that the
segments enclose: those that cannot be reached without crossing a segment,
neither from outside the hull nor from a point of `holes`, an (h, 2) array
with one point inside each hole. `points` are the points `tri` was built
from. Returns a new Triangulation with the kept triangles renumbered in their
former order, NONE along the new boundary and an empty hull; `tri` is left as
it was.
)doc";

constexpr const char* kVoronoiDoc = R"doc(
Voronoi(tri, points, bounds)

The Voronoi diagram dual to `tri` (made by triangulate(points) without
segments), its cells clipped to bounds = (xmin, ymin, xmax, ymax), a finite
box with xmin < xmax and ymin < ymax.

cell(i)        (k, 2) float64: the corners of point i's cell, counterclockwise
               (empty for a point left out of the triangulation or whose cell
               misses the box). Raises IndexError for i out of range.
circumcenters  (m, 2) float64: the centre of each triangle's circumcircle, the
               Voronoi vertex dual to it (far away or infinite for nearly flat
               triangles).
bounds         the box, a tuple.
)doc";

} // namespace

PYBIND11_MODULE(tessaro, m) {
    m.doc() = kModuleDoc;
    m.attr("__version__") = TESSARO_VERSION;
    m.attr("NONE") = py::int_(EdgeAlgebra::kNone);

    py::class_<PyTriangulation>(m, "Triangulation", kTriangulationDoc)
        .def_property_readonly("triangles",
                               [](py::object self) {
                                   const auto& t = self.cast<const PyTriangulation&>().t;
                                   const auto rows =
                                       static_cast<py::ssize_t>(t.triangles.size() / 3);
                                   return view(t.triangles, {rows, 3}, self);
                               })
        .def_property_readonly("halfedges",
                               [](py::object self) {
                                   const auto& t = self.cast<const PyTriangulation&>().t;
                                   const auto e = static_cast<py::ssize_t>(t.halfedges.size());
                                   return view(t.halfedges, {e}, self);
                               })
        .def_property_readonly("hull",
                               [](py::object self) {
                                   const auto& t = self.cast<const PyTriangulation&>().t;
                                   const auto k = static_cast<py::ssize_t>(t.hull.size());
                                   return view(t.hull, {k}, self);
                               })
        .def_property_readonly("constrained",
                               [](py::object self) -> py::object {
                                   const auto& tri = self.cast<const PyTriangulation&>();
                                   if (!tri.withSegments) {
                                       return py::none();
                                   }
                                   const auto e = static_cast<py::ssize_t>(tri.t.halfedges.size());
                                   if (tri.t.constrained.empty()) {
                                       return py::array_t<bool>(e); // no triangle: e == 0
                                   }
                                   return view(tri.t.constrained, {e}, self, py::dtype("bool"));
                               })
        .def("__repr__", [](const PyTriangulation& tri) {
            return "<tessaro.Triangulation: " + std::to_string(tri.sites) + " points, " +
                   std::to_string(tri.t.triangles.size() / 3) + " triangles, hull of " +
                   std::to_string(tri.t.hull.size()) + (tri.withSegments ? ", constrained" : "") +
                   (tri.carved ? ", carved" : "") + ">";
        });

    m.def("triangulate", &triangulatePoints, kTriangulateDoc, py::arg("points"),
          py::arg("segments") = py::none(), py::arg("threads") = 0);
    m.def("keep_enclosed", &keepEnclosed, kKeepEnclosedDoc, py::arg("tri"), py::arg("points"),
          py::arg("holes") = py::none());

    py::class_<PyVoronoi>(m, "Voronoi", kVoronoiDoc)
        .def(py::init(&makeVoronoi), py::arg("tri"), py::arg("points"), py::arg("bounds"))
        .def("cell", &cell, py::arg("i"), "The corners of point i's cell, (k, 2) float64.")
        .def_property_readonly("circumcenters",
                               [](py::object self) {
                                   const auto& c =
                                       self.cast<const PyVoronoi&>().voronoi.circumcenters();
                                   const auto rows = static_cast<py::ssize_t>(c.size() / 2);
                                   return view(c, {rows, 2}, self);
                               })
        .def_property_readonly("bounds", [](const PyVoronoi& v) {
            const EdgeAlgebra::Box& b = v.voronoi.box();
            return py::make_tuple(b.xmin, b.ymin, b.xmax, b.ymax);
        });
}
