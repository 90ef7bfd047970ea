#pragma once

#include "predicates/ExactSign.h"

#include <cmath>

// The two triangulation predicates on double coordinates, exact: evaluated in
// double precision with an error bound, and decided exactly (ExactSign: GMP,
// or the core's own wide integers where GMP is missing) only
// where the rounded result lies within the bound (ExactSign). Internal to the
// core.
namespace EdgeAlgebra {
namespace DoublePredicates {

namespace Detail {

constexpr double kEpsilon = 0x1p-53; // unit roundoff of double precision

// Bounds on the rounding error of the determinants below, relative to the sum
// of the magnitudes of their terms, for inputs whose intermediate results
// neither overflow nor underflow (Shewchuk's error analysis of the same
// expressions). Below kSmallest such a result may have underflowed, and the
// bound no longer holds: the exact evaluation decides there.
constexpr double kOrientationBound = (3.0 + 16.0 * kEpsilon) * kEpsilon;
constexpr double kInCircleBound = (10.0 + 96.0 * kEpsilon) * kEpsilon;
constexpr double kSmallest = 0x1p-900;

inline bool decided(double value, double magnitude, double bound) {
    return std::isfinite(magnitude) && magnitude > kSmallest &&
           std::fabs(value) > bound * magnitude;
}

} // namespace Detail

// Sign of the orientation of a, b, c: positive when they turn
// counterclockwise, zero when collinear.
[[gnu::always_inline]] inline int orientation(double ax, double ay, double bx, double by, double cx,
                                              double cy) {
    const double left = (ax - cx) * (by - cy);
    const double right = (ay - cy) * (bx - cx);
    const double det = left - right;
    if (Detail::decided(det, std::fabs(left) + std::fabs(right), Detail::kOrientationBound)) {
        return det > 0.0 ? 1 : -1;
    }
    return ExactSign::orientation(ax, ay, bx, by, cx, cy);
}

// Sign of the in-circle determinant of d against a, b, c: positive when d
// lies strictly inside the circle through a, b, c taken counterclockwise.
[[gnu::always_inline]] inline int inCircle(double ax, double ay, double bx, double by, double cx,
                                           double cy, double dx, double dy) {
    const double adx = ax - dx, ady = ay - dy;
    const double bdx = bx - dx, bdy = by - dy;
    const double cdx = cx - dx, cdy = cy - dy;
    const double bdxcdy = bdx * cdy, cdxbdy = cdx * bdy;
    const double cdxady = cdx * ady, adxcdy = adx * cdy;
    const double adxbdy = adx * bdy, bdxady = bdx * ady;
    const double alift = adx * adx + ady * ady;
    const double blift = bdx * bdx + bdy * bdy;
    const double clift = cdx * cdx + cdy * cdy;
    const double det =
        alift * (bdxcdy - cdxbdy) + blift * (cdxady - adxcdy) + clift * (adxbdy - bdxady);
    const double permanent = (std::fabs(bdxcdy) + std::fabs(cdxbdy)) * alift +
                             (std::fabs(cdxady) + std::fabs(adxcdy)) * blift +
                             (std::fabs(adxbdy) + std::fabs(bdxady)) * clift;
    if (Detail::decided(det, permanent, Detail::kInCircleBound)) {
        return det > 0.0 ? 1 : -1;
    }
    return ExactSign::inCircle(ax, ay, bx, by, cx, cy, dx, dy);
}

} // namespace DoublePredicates
} // namespace EdgeAlgebra
