// The tiles of tessaro.distributed: one tile of a larger triangulation,
// triangulated and sifted in the compiled core (the package's private
// _triangulate_tile; tessaro.distributed documents the whole).

#include "ArrayArguments.h"
#include "Bindings.h"

#include <edgealgebra/Tile.h>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <algorithm>
#include <array>
#include <cmath>
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

// f applied to the coordinates as they are stored, float or double.
template <typename F>
auto onCoordinates(const Coordinates& c, F f) {
    return c.single ? f(static_cast<const float*>(c.data)) : f(static_cast<const double*>(c.data));
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
        kept = onCoordinates(c, [&](const auto* xy) {
            return EdgeAlgebra::triangulateTile(xy, id.data(), c.rows(), window);
        });
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

// A stable counting sort of small keys: the permutation that puts them in
// order, and where each key's run starts (one entry more than keys).
std::pair<std::vector<std::int64_t>, std::vector<std::int64_t>>
countingOrder(const std::vector<std::uint32_t>& key, std::size_t keys) {
    std::vector<std::int64_t> starts(keys + 1, 0);
    for (const std::uint32_t k : key) {
        ++starts[k + 1];
    }
    for (std::size_t k = 0; k < keys; ++k) {
        starts[k + 1] += starts[k];
    }
    std::vector<std::int64_t> next(starts.begin(), starts.end() - 1);
    std::vector<std::int64_t> order(key.size());
    for (std::size_t i = 0; i < key.size(); ++i) {
        order[static_cast<std::size_t>(next[key[i]]++)] = static_cast<std::int64_t>(i);
    }
    return {std::move(order), std::move(starts)};
}

std::vector<double> cutList(py::handle values) {
    const DoubleArray a = DoubleArray::ensure(values);
    if (!a || a.ndim() != 1) {
        throw py::value_error("cuts must be a flat array of numbers");
    }
    return {a.data(), a.data() + a.size()};
}

// How many of the sorted cuts lie at or below v. Tilings have a few dozen
// cuts per axis: counting them all, without branches, beats a binary search
// whose steps random points mispredict.
std::uint32_t atOrBelow(const std::vector<double>& cuts, double v) {
    if (cuts.size() > 64) {
        return static_cast<std::uint32_t>(std::upper_bound(cuts.begin(), cuts.end(), v) -
                                          cuts.begin());
    }
    std::uint32_t count = 0;
    for (const double cut : cuts) {
        count += cut <= v ? 1u : 0u;
    }
    return count;
}

// A tile's number: its column's first tile plus the number of that column's
// cuts at or below y; the column is the number of x cuts at or below x.
template <typename Coordinate>
std::vector<std::uint32_t>
tileKeys(const Coordinate* xy, std::size_t n, const std::vector<double>& xCuts,
         const std::vector<std::vector<double>>& yCuts, const std::vector<std::uint32_t>& first) {
    std::vector<std::uint32_t> key(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t column = atOrBelow(xCuts, xy[2 * i]);
        key[i] = first[column] + atOrBelow(yCuts[column], xy[2 * i + 1]);
    }
    return key;
}

py::tuple tileOrder(py::handle points, py::handle xCutValues, py::list yCutValues) {
    const Coordinates c = coordinates(points, "points");
    const std::vector<double> xCuts = cutList(xCutValues);
    if (yCutValues.size() != xCuts.size() + 1) {
        throw py::value_error("y cuts must be given for every column");
    }
    std::vector<std::vector<double>> yCuts;
    std::vector<std::uint32_t> first{0};
    for (const py::handle column : yCutValues) {
        yCuts.push_back(cutList(column));
        first.push_back(first.back() + static_cast<std::uint32_t>(yCuts.back().size() + 1));
    }
    std::pair<std::vector<std::int64_t>, std::vector<std::int64_t>> sorted;
    {
        py::gil_scoped_release release;
        const std::vector<std::uint32_t> key = onCoordinates(
            c, [&](const auto* xy) { return tileKeys(xy, c.rows(), xCuts, yCuts, first); });
        sorted = countingOrder(key, first.back());
    }
    const auto n = static_cast<py::ssize_t>(sorted.first.size());
    const auto tiles = static_cast<py::ssize_t>(sorted.second.size());
    return py::make_tuple(adopt(std::move(sorted.first), {n}),
                          adopt(std::move(sorted.second), {tiles}));
}

// Buckets of a 256 x 256 grid over the tile, x first: as numpy computes them
// for boxes, clip((v - low) * scale, 0, 255) truncated, so both agree.
constexpr std::uint32_t kSide = 256;

std::uint32_t bucket(double v, double low, double scale) {
    return scale == 0
               ? 0
               : static_cast<std::uint32_t>(std::clamp((v - low) * scale, 0.0, double(kSide - 1)));
}

template <typename Coordinate>
std::vector<std::uint32_t> bucketKeys(const Coordinate* xy, std::size_t n, const double* grid) {
    std::vector<std::uint32_t> key(n);
    for (std::size_t i = 0; i < n; ++i) {
        key[i] = bucket(xy[2 * i], grid[0], grid[1]) << 8 | bucket(xy[2 * i + 1], grid[2], grid[3]);
    }
    return key;
}

py::tuple bucketOrder(py::handle points, double lowX, double scaleX, double lowY, double scaleY) {
    const Coordinates c = coordinates(points, "points");
    const double grid[] = {lowX, scaleX, lowY, scaleY};
    std::pair<std::vector<std::int64_t>, std::vector<std::int64_t>> sorted;
    std::vector<std::uint16_t> keys(c.rows());
    {
        py::gil_scoped_release release;
        sorted = countingOrder(
            onCoordinates(c, [&](const auto* xy) { return bucketKeys(xy, c.rows(), grid); }),
            kSide * kSide);
        for (std::size_t k = 0; k < kSide * kSide; ++k) {
            std::fill(keys.begin() + sorted.second[k], keys.begin() + sorted.second[k + 1],
                      static_cast<std::uint16_t>(k));
        }
    }
    const auto n = static_cast<py::ssize_t>(keys.size());
    return py::make_tuple(adopt(std::move(sorted.first), {n}), adopt(std::move(keys), {n}));
}

// The rows that may lie on the points' convex hull: all but those clearly
// inside the polygon of the extreme points in eight directions (Akl and
// Toussaint's filter). The test is in double precision with a margin far
// above its rounding, so a point is dropped only when it is strictly inside.
template <typename Coordinate>
std::vector<std::int64_t> hullCandidates(const Coordinate* xy, std::size_t n) {
    std::vector<std::int64_t> kept;
    if (n < 16) {
        for (std::size_t i = 0; i < n; ++i) {
            kept.push_back(static_cast<std::int64_t>(i));
        }
        return kept;
    }
    // Counterclockwise: least x, x + y, y, -(x - y), then greatest x, x + y,
    // y, -(x - y); the first of equal ones.
    const auto measure = [xy](std::size_t i, int k) {
        const double x = xy[2 * i], y = xy[2 * i + 1];
        const double m[] = {x, x + y, y, y - x};
        return m[k];
    };
    std::array<std::size_t, 8> extreme{};
    for (std::size_t i = 1; i < n; ++i) {
        for (int k = 0; k < 4; ++k) {
            if (measure(i, k) < measure(extreme[k], k)) {
                extreme[k] = i;
            }
            if (measure(i, k) > measure(extreme[k + 4], k)) {
                extreme[k + 4] = i;
            }
        }
    }
    std::array<double, 8> px{}, py{};
    double mx = 0, my = 0;
    for (int k = 0; k < 8; ++k) {
        px[k] = xy[2 * extreme[k]];
        py[k] = xy[2 * extreme[k] + 1];
        mx = std::max(mx, std::abs(px[k]));
        my = std::max(my, std::abs(py[k]));
    }
    const double scale = mx + my;
    for (std::size_t i = 0; i < n; ++i) {
        const double x = xy[2 * i], y = xy[2 * i + 1];
        const double tolerance = (std::abs(x) + std::abs(y) + scale) * 1e-12 * scale;
        bool inside = true;
        for (int k = 0; k < 8 && inside; ++k) {
            const double ax = px[k], ay = py[k], bx = px[(k + 1) % 8], by = py[(k + 1) % 8];
            if (ax == bx && ay == by) {
                continue;
            }
            inside = (bx - ax) * (y - ay) - (by - ay) * (x - ax) > tolerance;
        }
        if (!inside) {
            kept.push_back(static_cast<std::int64_t>(i));
        }
    }
    return kept;
}

py::array candidatesForHull(py::handle points) {
    const Coordinates c = coordinates(points, "points");
    std::vector<std::int64_t> kept;
    {
        py::gil_scoped_release release;
        kept = onCoordinates(c, [&](const auto* xy) { return hullCandidates(xy, c.rows()); });
    }
    const auto n = static_cast<py::ssize_t>(kept.size());
    return adopt(std::move(kept), {n});
}

py::array insideDisk(py::handle corners, py::handle points) {
    const DoubleArray c = DoubleArray::ensure(corners);
    if (!c || c.size() != 6) {
        throw py::value_error("corners must hold x, y of three points");
    }
    const std::array<double, 6> triangle{c.data()[0], c.data()[1], c.data()[2],
                                         c.data()[3], c.data()[4], c.data()[5]};
    const std::vector<double> xy = doubles(coordinates(points, "points"));
    std::vector<std::uint8_t> inside(xy.size() / 2);
    EdgeAlgebra::insideClosedDisk(triangle, xy.data(), inside.size(), inside.data());
    const auto n = static_cast<py::ssize_t>(inside.size());
    return adopt(std::move(inside), {n}).attr("view")(py::dtype("?"));
}

} // namespace

void bindTile(py::module_& m) {
    m.def("_inside_disk", &insideDisk, py::arg("corners"), py::arg("points"),
          "Whether each of `points` lies in the closed circumscribed disk of the "
          "counterclockwise triangle `corners` (x, y of each), decided exactly.");
    m.def("_hull_candidates", &candidatesForHull, py::arg("points"),
          "The rows of `points` that may lie on their convex hull (Akl and Toussaint's filter).");
    m.def("_tile_order", &tileOrder, py::arg("points"), py::arg("x_cuts"), py::arg("y_cuts"),
          "The stable order of `points` by tile of a tiling by x cuts and, per column, y cuts, "
          "and where each tile's run starts.");
    m.def("_bucket_order", &bucketOrder, py::arg("points"), py::arg("low_x"), py::arg("scale_x"),
          py::arg("low_y"), py::arg("scale_y"),
          "The stable order of `points` by 256 x 256 buckets, x first, and their keys in that "
          "order.");
    m.def("_triangulate_tile", &triangulateTile, py::arg("points"), py::arg("ids"), py::arg("tile"),
          py::arg("seen"), py::arg("extras"), py::arg("bounds"), py::arg("hull"),
          "One tile of tessaro.distributed.triangulate: the triangles of `points` (with ids "
          "`ids`) whose centroid lies in `tile`, as rows of point numbers, and the disks it could "
          "not certify, as rows of "
          "extent (xmin, ymin, xmax, ymax), centre, radius and the corners' x, y.");
}

} // namespace TessaroPython
