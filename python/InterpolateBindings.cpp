// Locator and Interpolator on numpy arrays: which triangle holds each query
// point and which point is nearest, and values interpolated at query points
// or on a regular grid. The package's griddata and interpolator classes
// (tessaro/interpolate.py) are written over these.

#include "ArrayArguments.h"
#include "Bindings.h"

#include <edgealgebra/Interpolate.h>
#include <edgealgebra/Locate.h>

#include <pybind11/numpy.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace TessaroPython {

namespace {

using EdgeAlgebra::Interpolation;

// Query points: an array whose last axis holds x, y (any leading shape), as
// a C-contiguous float64 array, and the leading shape.
struct Queries {
    py::array_t<double, py::array::c_style> xy;
    std::vector<py::ssize_t> shape;
    std::size_t count = 0;
};

Queries queries(py::handle values) {
    const py::array a = asArray(values);
    if (!isNumeric(a)) {
        throw py::type_error("xi must hold real numbers, got dtype " + dtypeText(a));
    }
    if (a.ndim() < 1 || a.shape(a.ndim() - 1) != 2) {
        throw py::value_error("xi must be an array of x, y pairs along its last axis, got shape " +
                              shapeText(a));
    }
    Queries q;
    q.xy = py::array_t<double, py::array::c_style | py::array::forcecast>(a);
    q.shape.assign(a.shape(), a.shape() + a.ndim() - 1);
    q.count = static_cast<std::size_t>(a.size() / 2);
    return q;
}

// Site indices as int64, -1 for none.
py::array_t<std::int64_t> indices(const std::vector<std::uint32_t>& found,
                                  const std::vector<py::ssize_t>& shape) {
    py::array_t<std::int64_t> out(shape);
    std::int64_t* data = out.mutable_data();
    for (std::size_t i = 0; i < found.size(); ++i) {
        data[i] = found[i] == EdgeAlgebra::kNone ? -1 : static_cast<std::int64_t>(found[i]);
    }
    return out;
}

std::unique_ptr<EdgeAlgebra::Locator> makeLocator(const PyTriangulation& tri, py::handle points,
                                                  long long threads) {
    const Coordinates c = coordinates(points, "points");
    checkRows(tri, c);
    std::vector<double> coords = doubles(c);
    const unsigned n = threadCount(threads);
    py::gil_scoped_release release;
    return std::make_unique<EdgeAlgebra::Locator>(tri.t, coords, n);
}

template <typename Query>
py::array_t<std::int64_t> answer(py::handle xi, long long threads, Query&& query) {
    const Queries q = queries(xi);
    const unsigned n = threadCount(threads);
    std::vector<std::uint32_t> found(q.count);
    {
        py::gil_scoped_release release;
        query(q.xy.data(), q.count, found.data(), n);
    }
    return indices(found, q.shape);
}

Interpolation method(const std::string& name) {
    if (const auto named = EdgeAlgebra::interpolationNamed(name)) {
        return *named;
    }
    throw py::value_error("method must be 'linear', 'natural' or 'nearest', got '" + name + "'");
}

// The interpolator and the shape of one site's values: () or (k,).
struct PyInterpolator {
    std::unique_ptr<EdgeAlgebra::Interpolator> interpolator;
    std::vector<py::ssize_t> valueShape;
};

PyInterpolator makeInterpolator(const PyTriangulation& tri, py::handle points, py::handle values,
                                long long threads) {
    const Coordinates c = coordinates(points, "points");
    checkRows(tri, c);
    const py::array v = asArray(values);
    if (!isNumeric(v)) {
        throw py::type_error("values must hold real numbers, got dtype " + dtypeText(v));
    }
    if (v.ndim() < 1 || v.ndim() > 2 || static_cast<std::size_t>(v.shape(0)) != c.rows()) {
        throw py::value_error("values must be an (n,) or (n, k) array with one row per point (" +
                              std::to_string(c.rows()) + "), got shape " + shapeText(v));
    }
    const auto contiguous = py::array_t<double, py::array::c_style | py::array::forcecast>(v);
    std::vector<double> data(contiguous.data(), contiguous.data() + contiguous.size());
    const std::size_t channels = v.ndim() == 2 ? static_cast<std::size_t>(v.shape(1)) : 1;
    if (channels == 0) {
        throw py::value_error("values must have at least one column, got shape " + shapeText(v));
    }
    PyInterpolator result;
    if (v.ndim() == 2) {
        result.valueShape = {v.shape(1)};
    }
    std::vector<double> coords = doubles(c);
    const unsigned n = threadCount(threads);
    py::gil_scoped_release release;
    result.interpolator =
        std::make_unique<EdgeAlgebra::Interpolator>(tri.t, coords, std::move(data), channels, n);
    return result;
}

py::array_t<double> interpolateAt(const PyInterpolator& self, py::handle xi,
                                  const std::string& name, double fill, long long threads) {
    const Interpolation m = method(name);
    const Queries q = queries(xi);
    const unsigned n = threadCount(threads);
    std::vector<py::ssize_t> shape = q.shape;
    shape.insert(shape.end(), self.valueShape.begin(), self.valueShape.end());
    py::array_t<double> out(shape);
    double* data = out.mutable_data();
    {
        py::gil_scoped_release release;
        self.interpolator->at(q.xy.data(), q.count, m, data, fill, n);
    }
    return out;
}

py::array_t<double> interpolateGrid(const PyInterpolator& self, double xmin, double ymin, double dx,
                                    double dy, long long nx, long long ny, const std::string& name,
                                    double fill, long long threads) {
    const Interpolation m = method(name);
    if (nx < 0 || ny < 0) {
        throw py::value_error("nx and ny must not be negative");
    }
    if (!std::isfinite(xmin) || !std::isfinite(ymin) || !std::isfinite(dx) || !std::isfinite(dy)) {
        throw py::value_error("the grid's corner and steps must be finite");
    }
    const unsigned n = threadCount(threads);
    std::vector<py::ssize_t> shape{static_cast<py::ssize_t>(ny), static_cast<py::ssize_t>(nx)};
    shape.insert(shape.end(), self.valueShape.begin(), self.valueShape.end());
    py::array_t<double> out(shape);
    double* data = out.mutable_data();
    const EdgeAlgebra::Grid g{
        xmin, ymin, dx, dy, static_cast<std::size_t>(nx), static_cast<std::size_t>(ny)};
    {
        py::gil_scoped_release release;
        self.interpolator->grid(g, m, data, fill, n);
    }
    return out;
}

constexpr const char* kLocatorDoc = R"doc(
Locator(tri, points, threads=0)

Exact point location in `tri` (made by triangulate() from `points`, with or
without segments, or by keep_enclosed()).

find(xi, threads=0)     int64 array of xi.shape[:-1]: the triangle (a row of
                        tri.triangles) whose closed area holds each point of
                        xi (an array of x, y pairs along its last axis), -1
                        outside the triangulation and in carved holes. A point
                        on an edge or a corner gets the lowest-numbered of the
                        triangles there.
nearest(xi, threads=0)  int64: the nearest point that takes part in the
                        triangulation, ties to the lowest index; -1 when there
                        is none.

Raises TypeError for non-numeric input, ValueError for wrong shapes.
)doc";

constexpr const char* kInterpolatorDoc = R"doc(
Interpolator(tri, points, values, threads=0)

Values given at `points` (an (n,) or (n, k) array), interpolated over `tri`
(made by triangulate(points), possibly with segments and keep_enclosed()).
griddata, LinearInterpolator and NaturalNeighborInterpolator are written over
it.

at(xi, method="linear", fill_value=nan, threads=0)
    float64 array of xi.shape[:-1] + values.shape[1:].
grid(xmin, ymin, dx, dy, nx, ny, method="linear", fill_value=nan, threads=0)
    float64 array of (ny, nx) + values.shape[1:]: row j, column i at
    (xmin + i dx, ymin + j dy).

method: "linear" (barycentric), "natural" (Sibson's natural neighbour
coordinates) or "nearest". Points outside the triangulation get fill_value.
)doc";

} // namespace

void bindInterpolate(py::module_& m) {
    py::class_<EdgeAlgebra::Locator>(m, "Locator", kLocatorDoc)
        .def(py::init(&makeLocator), py::arg("tri"), py::arg("points"), py::arg("threads") = 0)
        .def(
            "find",
            [](const EdgeAlgebra::Locator& self, py::handle xi, long long threads) {
                return answer(xi, threads,
                              [&self](const double* xy, std::size_t count, std::uint32_t* out,
                                      unsigned n) { self.find(xy, count, out, n); });
            },
            py::arg("xi"), py::arg("threads") = 0)
        .def(
            "nearest",
            [](const EdgeAlgebra::Locator& self, py::handle xi, long long threads) {
                return answer(xi, threads,
                              [&self](const double* xy, std::size_t count, std::uint32_t* out,
                                      unsigned n) { self.nearest(xy, count, out, n); });
            },
            py::arg("xi"), py::arg("threads") = 0);

    py::class_<PyInterpolator>(m, "Interpolator", kInterpolatorDoc)
        .def(py::init(&makeInterpolator), py::arg("tri"), py::arg("points"), py::arg("values"),
             py::arg("threads") = 0)
        .def("at", &interpolateAt, py::arg("xi"), py::arg("method") = "linear",
             py::arg("fill_value") = std::nan(""), py::arg("threads") = 0)
        .def("grid", &interpolateGrid, py::arg("xmin"), py::arg("ymin"), py::arg("dx"),
             py::arg("dy"), py::arg("nx"), py::arg("ny"), py::arg("method") = "linear",
             py::arg("fill_value") = std::nan(""), py::arg("threads") = 0);
}

} // namespace TessaroPython
