#pragma once

#include <array>

namespace EdgeAlgebra {

// The centre of the circle through a, b and c, in double precision. It is
// computed relative to a, where the differences are small, so that sites far
// from the origin keep their significant digits. For corners nearly on one
// line the centre lies far away, or is infinite or NaN.
inline std::array<double, 2> circumcenter(double ax, double ay, double bx, double by, double cx,
                                          double cy) {
    bx -= ax;
    by -= ay;
    cx -= ax;
    cy -= ay;
    const double b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
    const double d = 2.0 * (bx * cy - by * cx);
    return {ax + (cy * b2 - by * c2) / d, ay + (bx * c2 - cx * b2) / d};
}

} // namespace EdgeAlgebra
