#pragma once

#include <cmath>

namespace EdgeAlgebra {

// An axis-parallel rectangle, xmin <= xmax and ymin <= ymax. Callers taking a
// box from outside check it with isFiniteRectangle; a tile of a larger
// triangulation may reach to infinity.
struct Box {
    double xmin, ymin, xmax, ymax;
};

// Whether the box is a finite rectangle with xmin < xmax and ymin < ymax; the
// one check every caller that takes a box from outside makes.
inline bool isFiniteRectangle(const Box& box) {
    return std::isfinite(box.xmin) && std::isfinite(box.ymin) && std::isfinite(box.xmax) &&
           std::isfinite(box.ymax) && box.xmin < box.xmax && box.ymin < box.ymax;
}

} // namespace EdgeAlgebra
