// The module's front door: triangulate, keep_enclosed, the Triangulation
// they return, and Voronoi.
//
// Points are read in place when they are a C-contiguous float64 or float32
// array and converted to float64 otherwise. Results are numpy arrays that
// look at the std::vectors the core returned (read-only, kept alive by the
// object that owns them), so nothing is copied on the way out. The GIL is
// released while the core works. The core's std::invalid_argument and
// std::length_error reach Python as ValueError with their message.

#include "ArrayArguments.h"
#include "Bindings.h"

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

namespace TessaroPython {

namespace {

struct PyVoronoi {
    EdgeAlgebra::Voronoi voronoi;
    std::size_t sites;
};

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

void bindTriangulate(py::module_& m) {
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

} // namespace TessaroPython
