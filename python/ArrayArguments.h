#pragma once

// What every binding of the module reads from Python and hands back to it:
// numpy arrays checked for dtype and shape (TypeError, ValueError with the
// argument's name), coordinates read in place where their layout allows, and
// read-only views on the core's result vectors.

#include <edgealgebra/Box.h>
#include <edgealgebra/Triangulate.h>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace TessaroPython {

namespace py = pybind11;

// The triangulation as Python sees it: the core's arrays and what they were
// built from.
struct PyTriangulation {
    EdgeAlgebra::Triangulation t;
    std::size_t sites = 0;
    bool withSegments = false;
    bool carved = false;
};

std::string shapeText(const py::array& a);
std::string dtypeText(const py::array& a);
py::array asArray(py::handle values);
bool isNumeric(const py::array& a);

// Coordinates as the core reads them: `count` values x0, y0, x1, y1, ... at
// `data`, kept alive by `array`; float32 when `single`, float64 otherwise.
struct Coordinates {
    py::array array;
    const void* data = nullptr;
    std::size_t count = 0;
    bool single = false;

    std::size_t rows() const { return count / 2; }
};

// An (n, 2) array of x, y rows, `what` naming it in errors. A C-contiguous,
// aligned float64 or float32 array is read in place; anything else numeric is
// converted to float64.
Coordinates coordinates(py::handle values, const char* what);

std::vector<double> doubles(const Coordinates& c);

// Segments: a (k, 2) array of site index pairs, or a flat one of even length.
std::vector<std::uint32_t> segmentList(py::handle values);

// A thread count: 0 for every hardware thread, or a positive number.
unsigned threadCount(long long threads);

// A box (xmin, ymin, xmax, ymax), `what` naming it in errors.
EdgeAlgebra::Box box(py::handle bounds, const char* what = "bounds");

// ValueError unless `points` has as many rows as `tri` was built on.
void checkRows(const PyTriangulation& tri, const Coordinates& points);

// A read-only array over `values`, which `owner` keeps alive.
template <typename T>
py::array view(const std::vector<T>& values, std::vector<py::ssize_t> shape, py::handle owner,
               py::dtype dtype = py::dtype::of<T>()) {
    py::array a(std::move(dtype), std::move(shape), {}, values.data(), owner);
    a.attr("setflags")(py::arg("write") = false);
    return a;
}

// Hands a vector to numpy without copying: the array owns it from then on.
template <typename T>
py::array adopt(std::vector<T>&& values, std::vector<py::ssize_t> shape) {
    auto owned = new std::vector<T>(std::move(values));
    py::capsule owner(owned, [](void* p) { delete static_cast<std::vector<T>*>(p); });
    return py::array_t<T>(std::move(shape), owned->data(), owner);
}

} // namespace TessaroPython
