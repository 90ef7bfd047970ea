#pragma once

#include <cmath>

// The double-precision filter of the predicates on float coordinates: each
// determinant evaluated in double with a rigorous bound on its rounding
// error, its sign given where the bound decides it and 0 where only an exact
// evaluation can. Site's inline predicates and the constructions on plain
// float coordinates share it, so that both decide exactly alike. It is
// installed only because Site's predicates are inline; it depends on nothing
// else of the core.
namespace EdgeAlgebra {
namespace FloatFilter {

// Unit roundoff of double precision.
constexpr double kUnitRoundoff = 0x1p-53;

// Orientation: the six products of floats are exact in double; three
// subtractions and one addition each round by at most u times the magnitude
// of their operands, so the computed determinant differs from the exact one
// by at most 3u(1+u)^2 times M, the sum of the six product magnitudes. With
// the rounding of M itself covered, 4u * M is a rigorous bound.
constexpr double kOrientationErrorFactor = 4.0 * kUnitRoundoff;

// In-circle: each coordinate difference rounds once, each product of two
// differences then carries at most 3u relative error, and each bracket (a sum
// or difference of two such products) at most 4u times m, the sum of its two
// product magnitudes. The product of two brackets is then off by at most
// 9u * m1 * m2 (to first order), so P - Q is off by at most
// 9u * (m1*m2 + m3*m4). 16u absorbs the higher-order terms, the rounding of
// the magnitudes and of P - Q itself. (A fused multiply-add only removes
// roundings, so the bounds hold for it too.)
constexpr double kInCircleErrorFactor = 16.0 * kUnitRoundoff;

// The sign of the orientation determinant of a, b, c where double precision
// decides it, 0 where the result lies within the rounding bound.
inline int filteredOrientation(double ax, double ay, double bx, double by, double cx, double cy) {
    const double det = (bx * cy - by * cx) - (ax * cy - ay * cx) + (ax * by - ay * bx);
    const double magnitude = std::fabs(bx * cy) + std::fabs(by * cx) + std::fabs(ax * cy) +
                             std::fabs(ay * cx) + std::fabs(ax * by) + std::fabs(ay * bx);
    const double bound = kOrientationErrorFactor * magnitude;
    if (std::fabs(det) > bound || !std::isfinite(bound)) {
        return det > 0.0 ? 1 : -1;
    }
    return 0;
}

// The factored in-circle form for d against the circle through a, b, c: P - Q
// equals the usual in-circle determinant, but rounds differently. The sign
// where double precision decides it, 0 where it cannot.
inline int filteredInCircle(double ax, double ay, double bx, double by, double cx, double cy,
                            double dx, double dy) {
    const double p1a = (dy - ay) * (bx - cx);
    const double p1b = (dx - ax) * (by - cy);
    const double p2a = (dx - cx) * (bx - ax);
    const double p2b = (dy - cy) * (by - ay);
    const double p = (p1a + p1b) * (p2a - p2b);

    const double q1a = (dy - cy) * (bx - ax);
    const double q1b = (dx - cx) * (by - ay);
    const double q2a = (dx - ax) * (bx - cx);
    const double q2b = (dy - ay) * (by - cy);
    const double q = (q1a + q1b) * (q2a - q2b);

    const double magnitude = (std::fabs(p1a) + std::fabs(p1b)) * (std::fabs(p2a) + std::fabs(p2b)) +
                             (std::fabs(q1a) + std::fabs(q1b)) * (std::fabs(q2a) + std::fabs(q2b));
    const double bound = kInCircleErrorFactor * magnitude;
    if (std::fabs(p - q) > bound || !std::isfinite(bound)) {
        return q < p ? 1 : -1;
    }
    return 0;
}

} // namespace FloatFilter
} // namespace EdgeAlgebra
