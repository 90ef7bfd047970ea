#pragma once

#include "edgealgebra/Locate.h"
#include "edgealgebra/Triangulate.h"

#include <cstddef>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

namespace EdgeAlgebra {

// How values between the sites are made.
enum class Interpolation {
    // Barycentric in the triangle that holds the point.
    Linear,
    // Sibson's natural neighbour coordinates over the Delaunay triangulation
    // of the sites: smooth away from the sites, exact on them, linear along
    // the hull, and it reproduces linear functions.
    NaturalNeighbour,
    // The value of the nearest site (ties to the lowest index).
    Nearest,
};

// The method by the name callers write: "linear", "natural" or "nearest";
// nothing for another name.
inline std::optional<Interpolation> interpolationNamed(std::string_view name) {
    if (name == "linear") {
        return Interpolation::Linear;
    }
    if (name == "natural") {
        return Interpolation::NaturalNeighbour;
    }
    if (name == "nearest") {
        return Interpolation::Nearest;
    }
    return std::nullopt;
}

// Points (xmin + i * dx, ymin + j * dy) for i < nx, j < ny, row by row (i
// runs fastest).
struct Grid {
    double xmin, ymin, dx, dy;
    std::size_t nx, ny;
};

// Interpolates values given at the sites of a triangulation. Values have
// `channels` numbers per site, site after site (site i's are values[i *
// channels] ... values[i * channels + channels - 1]), and so have the
// results, point after point. Points outside the triangulation (beyond the
// hull, in a carved hole) get `fill`, by every method.
//
//     const Interpolator surface(triangulate(coords), coords, heights);
//     const std::vector<double> dem =
//         surface.grid({0, 0, 0.5, 0.5, 200, 100}, Interpolation::NaturalNeighbour);
//
// A site left out of the triangulation (coincident with another, not finite,
// carved away) never lends its value. The batches run on up to `threads`
// threads (0: all the hardware's) and give the same numbers for every count.
class Interpolator {
public:
    // `triangulation` as for Locator. Throws std::invalid_argument for what
    // Locator refuses, for channels == 0, and for a number of values that is
    // not channels per site.
    Interpolator(const Triangulation& triangulation, const std::vector<float>& coords,
                 std::vector<double> values, std::size_t channels = 1, unsigned threads = 0);
    Interpolator(const Triangulation& triangulation, const std::vector<double>& coords,
                 std::vector<double> values, std::size_t channels = 1, unsigned threads = 0);

    static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    // At the points x0, y0, x1, y1, ...: channels numbers per point. Throws
    // std::invalid_argument for an odd number of values.
    std::vector<double> at(const std::vector<double>& xy, Interpolation method, double fill = kNaN,
                           unsigned threads = 0) const;
    // At the grid's points, row by row. Throws std::invalid_argument for
    // steps or a corner that are not finite.
    std::vector<double> grid(const Grid& grid, Interpolation method, double fill = kNaN,
                             unsigned threads = 0) const;

    // The same into `out` (channels numbers per point): `count` points at xy.
    void at(const double* xy, std::size_t count, Interpolation method, double* out,
            double fill = kNaN, unsigned threads = 0) const;
    void grid(const Grid& grid, Interpolation method, double* out, double fill = kNaN,
              unsigned threads = 0) const;

    std::size_t channels() const { return m_channels; }
    const Locator& locator() const { return m_locator; }

private:
    Locator m_locator;
    std::vector<double> m_values;
    std::size_t m_channels;
};

} // namespace EdgeAlgebra
