#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace EdgeAlgebra {

// A grid of `columns` by `rows` equal cells over a rectangle, numbered row by
// row. cellX and cellY never decrease as x and y grow, and clamp to the grid,
// so a point inside a shape's bounding box always falls into one of the
// cells that the box covers. Internal to the core.
struct CellGrid {
    double xmin = 0, ymin = 0, xscale = 0, yscale = 0;
    std::uint32_t columns = 1, rows = 1;

    // About `cells` cells over [xmin, xmax] x [ymin, ymax], as square as the
    // rectangle allows.
    CellGrid(double x0, double y0, double x1, double y1, double cells) : xmin(x0), ymin(y0) {
        const double width = x1 - x0, height = y1 - y0;
        if (width > 0 && height > 0 && std::isfinite(width * height) && cells > 1) {
            const double side = std::sqrt(width * height / cells);
            columns = clampCount(width / side);
            rows = clampCount(height / side);
        }
        xscale = width > 0 ? columns / width : 0;
        yscale = height > 0 ? rows / height : 0;
    }

    std::uint32_t cellX(double x) const { return clamp((x - xmin) * xscale, columns); }
    std::uint32_t cellY(double y) const { return clamp((y - ymin) * yscale, rows); }
    std::size_t cell(double x, double y) const {
        return std::size_t{cellY(y)} * columns + cellX(x);
    }
    std::size_t size() const { return std::size_t{columns} * rows; }

private:
    static std::uint32_t clampCount(double count) {
        return static_cast<std::uint32_t>(std::clamp(std::ceil(count), 1.0, 65536.0));
    }
    static std::uint32_t clamp(double position, std::uint32_t count) {
        if (!(position > 0)) {
            return 0; // NaN too
        }
        return position >= count ? count - 1 : static_cast<std::uint32_t>(position);
    }
};

} // namespace EdgeAlgebra
