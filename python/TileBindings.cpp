// The tiles of tessaro.distributed: one tile of a larger triangulation,
// triangulated and sifted in the compiled core (the package's private
// _triangulate_tile; tessaro.distributed documents the whole).

#include "ArrayArguments.h"
#include "Bindings.h"

#include <edgealgebra/Tile.h>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace TessaroPython {

namespace {

using Int64Array = py::array_t<std::int64_t, py::array::c_style | py::array::forcecast>;
using DoubleArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// Boxes as an (k, 4) array of xmin, ymin, xmax, ymax rows; infinite sides are
// allowed (the outer tiles reach to infinity), NaN is not.
std::vector<EdgeAlgebra::Box> boxes(py::handle values, const char* what) {
    const DoubleArray a = DoubleArray::ensure(values);
    if (!a || a.size() % 4 != 0) {
        throw py::value_error(std::string(what) + " must hold rows of xmin, ymin, xmax, ymax");
    }
    std::vector<EdgeAlgebra::Box> result;
    const double* v = a.data();
    for (py::ssize_t k = 0; k < a.size(); k += 4) {
        const EdgeAlgebra::Box b{v[k], v[k + 1], v[k + 2], v[k + 3]};
        if (!(b.xmin <= b.xmax && b.ymin <= b.ymax)) {
            throw py::value_error(std::string(what) + " has a box with NaN or reversed sides");
        }
        result.push_back(b);
    }
    return result;
}

EdgeAlgebra::Box oneBox(py::handle values, const char* what) {
    const std::vector<EdgeAlgebra::Box> b = boxes(values, what);
    if (b.size() != 1) {
        throw py::value_error(std::string(what) + " must be one box");
    }
    return b.front();
}

// The hull as indices of the points given.
std::vector<std::uint32_t> hullSites(py::handle values, std::size_t points) {
    const Int64Array a = Int64Array::ensure(values);
    if (!a) {
        throw py::type_error("hull must hold point indices");
    }
    std::vector<std::uint32_t> result;
    for (const std::int64_t i : std::vector<std::int64_t>(a.data(), a.data() + a.size())) {
        if (i < 0 || static_cast<std::uint64_t>(i) >= points) {
            throw py::value_error("hull names point " + std::to_string(i) + " of " +
                                  std::to_string(points));
        }
        result.push_back(static_cast<std::uint32_t>(i));
    }
    return result;
}

py::tuple triangulateTile(py::handle points, py::handle ids, py::handle tile, py::handle seen,
                          py::handle extras, py::handle bounds, py::handle hull) {
    const Coordinates c = coordinates(points, "points");
    const Int64Array id = Int64Array::ensure(ids);
    if (!id || static_cast<std::size_t>(id.size()) != c.rows()) {
        throw py::value_error("ids must hold one integer per point");
    }
    EdgeAlgebra::TileWindow window{oneBox(tile, "tile"), oneBox(seen, "seen"),
                                   boxes(extras, "extras"), oneBox(bounds, "bounds"),
                                   hullSites(hull, c.rows())};
    EdgeAlgebra::TileTriangles kept;
    {
        py::gil_scoped_release release;
        kept = c.single ? EdgeAlgebra::triangulateTile(static_cast<const float*>(c.data), id.data(),
                                                       c.rows(), window)
                        : EdgeAlgebra::triangulateTile(static_cast<const double*>(c.data),
                                                       id.data(), c.rows(), window);
    }
    const auto triangles = static_cast<py::ssize_t>(kept.triangles.size() / 3);
    const auto doubtful = static_cast<py::ssize_t>(kept.doubtful.size());
    std::vector<double> corners;
    corners.reserve(13 * kept.doubtful.size());
    const auto at = [&c](std::uint32_t site, int axis) {
        const std::size_t k = 2 * std::size_t{site} + axis;
        return c.single ? double(static_cast<const float*>(c.data)[k])
                        : static_cast<const double*>(c.data)[k];
    };
    for (const EdgeAlgebra::DoubtfulDisk& d : kept.doubtful) {
        const EdgeAlgebra::Box& b = d.extent;
        corners.insert(corners.end(), {b.xmin, b.ymin, b.xmax, b.ymax, d.x, d.y, d.radius});
        for (const std::uint32_t site : d.corners) {
            corners.insert(corners.end(), {at(site, 0), at(site, 1)});
        }
    }
    return py::make_tuple(adopt(std::move(kept.triangles), {triangles, 3}),
                          adopt(std::move(corners), {doubtful, 13}));
}

} // namespace

void bindTile(py::module_& m) {
    m.def("_triangulate_tile", &triangulateTile, py::arg("points"), py::arg("ids"), py::arg("tile"),
          py::arg("seen"), py::arg("extras"), py::arg("bounds"), py::arg("hull"),
          "One tile of tessaro.distributed.triangulate: the triangles of `points` (with ids "
          "`ids`) whose centroid lies in `tile`, as rows of point numbers, and the disks it could "
          "not certify, as rows of "
          "extent (xmin, ymin, xmax, ymax), centre, radius and the corners' x, y.");
}

} // namespace TessaroPython
