// refine and the Mesh it returns: Delaunay refinement to a minimum angle and
// a maximum area. The mesh's arrays are read-only views on the core's
// vectors, kept alive by the Mesh; the GIL is released while the core works.

#include "ArrayArguments.h"
#include "Bindings.h"

#include <edgealgebra/Refine.h>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace TessaroPython {

namespace {

EdgeAlgebra::Mesh refinePoints(py::handle points, py::handle segments, py::handle holes,
                               double minAngle, py::handle maxArea, bool convexHull,
                               std::size_t maxSteiner) {
    const std::vector<double> coords = doubles(coordinates(points, "points"));
    std::vector<std::uint32_t> pairs;
    if (!segments.is_none()) {
        pairs = segmentList(segments);
    }
    std::vector<double> holeCoords;
    if (!holes.is_none() && asArray(holes).size() != 0) {
        holeCoords = doubles(coordinates(holes, "holes"));
    }
    EdgeAlgebra::Quality quality;
    quality.minAngle = minAngle;
    quality.maxArea = maxArea.is_none() ? 0.0 : maxArea.cast<double>();
    if (!maxArea.is_none() && !(quality.maxArea > 0.0)) {
        throw py::value_error("max_area must be positive (or None for no bound)");
    }
    quality.convexHull = convexHull;
    quality.maxSteiner = maxSteiner;
    py::gil_scoped_release release;
    return EdgeAlgebra::refine(coords, pairs, holeCoords, quality);
}

template <typename T>
py::array meshView(py::object self, const std::vector<T> EdgeAlgebra::Mesh::*member,
                   py::ssize_t columns) {
    const auto& values = self.cast<const EdgeAlgebra::Mesh&>().*member;
    return view(values, {static_cast<py::ssize_t>(values.size()) / columns, columns}, self);
}

constexpr const char* kRefineDoc = R"doc(
refine(points, segments=None, holes=None, *, min_angle=20.0, max_area=None,
       convex_hull=False, max_steiner=0) -> Mesh

A quality mesh of the domain that `segments` ((k, 2) point index pairs)
enclose, less the holes (an (h, 2) array with a point inside each), by
Delaunay refinement: points are added until no angle is under `min_angle`
degrees (except where two segments meet at a smaller one: see
Mesh.forced_small_angles) and no triangle's area exceeds `max_area`. Without
segments, or with convex_hull=True, the whole convex hull is meshed, the
segments inside it. The input points never move and keep their indices.

Every segment becomes a chain of constrained edges, and the mesh is
constrained Delaunay, decided exactly. min_angle up to 20.7 always succeeds,
up to about 33 in practice; max_steiner caps the new points (0: a bound from
the input's size).

Raises ValueError for min_angle outside [0, 60), a max_area not positive,
bad segments (as triangulate), RuntimeError past max_steiner.
)doc";

constexpr const char* kMeshDoc = R"doc(
A refined mesh: points ((N, 2) float64, the input's rows first), triangles
((T, 3) uint32, counterclockwise), halfedges ((3T,) uint32, tessaro.NONE on
the boundary), constrained ((3T,) bool, half-edges on input segments),
segments ((k, 3) uint32: from, to, input segment, each piece running the way
its segment runs) and forced_small_angles.
)doc";

} // namespace

void bindRefine(py::module_& m) {
    py::class_<EdgeAlgebra::Mesh>(m, "Mesh", kMeshDoc)
        .def_property_readonly(
            "points", [](py::object self) { return meshView(self, &EdgeAlgebra::Mesh::coords, 2); })
        .def_property_readonly(
            "triangles",
            [](py::object self) {
                const auto& t = self.cast<const EdgeAlgebra::Mesh&>().triangulation;
                return view(t.triangles, {static_cast<py::ssize_t>(t.triangles.size() / 3), 3},
                            self);
            })
        .def_property_readonly(
            "halfedges",
            [](py::object self) {
                const auto& t = self.cast<const EdgeAlgebra::Mesh&>().triangulation;
                return view(t.halfedges, {static_cast<py::ssize_t>(t.halfedges.size())}, self);
            })
        .def_property_readonly(
            "constrained",
            [](py::object self) {
                const auto& t = self.cast<const EdgeAlgebra::Mesh&>().triangulation;
                return view(t.constrained, {static_cast<py::ssize_t>(t.constrained.size())}, self,
                            py::dtype("bool"));
            })
        .def_property_readonly(
            "segments",
            [](py::object self) { return meshView(self, &EdgeAlgebra::Mesh::segments, 3); })
        .def_readonly("forced_small_angles", &EdgeAlgebra::Mesh::forcedSmallAngles)
        .def("__repr__", [](const EdgeAlgebra::Mesh& mesh) {
            return "<tessaro.Mesh: " + std::to_string(mesh.coords.size() / 2) + " points, " +
                   std::to_string(mesh.triangulation.triangles.size() / 3) + " triangles>";
        });
    m.def("refine", &refinePoints, kRefineDoc, py::arg("points"), py::arg("segments") = py::none(),
          py::arg("holes") = py::none(), py::kw_only(), py::arg("min_angle") = 20.0,
          py::arg("max_area") = py::none(), py::arg("convex_hull") = false,
          py::arg("max_steiner") = 0);
}

} // namespace TessaroPython
