#include "edgealgebra/Site.h"

#include "ExactSign.h"
#include "edgealgebra/QuadEdge.h"

#include <cmath>

namespace EdgeAlgebra {

namespace {

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
// the magnitudes and of P - Q itself.
constexpr double kInCircleErrorFactor = 16.0 * kUnitRoundoff;

} // namespace

// Evaluated in double exactly as written: (first - second) + third. Only when
// the result lies within the rounding bound is the sign decided exactly.
bool Site::ccw(const Site* b, const Site* c) const {
    const double ax = x, ay = y, bx = b->x, by = b->y, cx = c->x, cy = c->y;
    const double det = (bx * cy - by * cx) - (ax * cy - ay * cx) + (ax * by - ay * bx);
    const double magnitude = std::fabs(bx * cy) + std::fabs(by * cx) + std::fabs(ax * cy) +
                             std::fabs(ay * cx) + std::fabs(ax * by) + std::fabs(ay * bx);
    const double bound = kOrientationErrorFactor * magnitude;
    if (std::fabs(det) > bound || !std::isfinite(bound)) {
        return det > 0.0;
    }
    return ExactSign::orientation(x, y, b->x, b->y, c->x, c->y) > 0;
}

// The factored in-circle form: P - Q equals the usual in-circle determinant,
// but rounds differently; the double decision stands wherever it is certain.
bool Site::inCircle(const Site* a, const Site* b, const Site* c) const {
    const double dx = x, dy = y;
    const double ax = a->x, ay = a->y, bx = b->x, by = b->y, cx = c->x, cy = c->y;

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
        return q < p;
    }
    return ExactSign::inCircle(a->x, a->y, b->x, b->y, c->x, c->y, x, y) > 0;
}

bool Site::rightOf(const QuadEdge* e) const {
    return ccw(e->dest(), e->org());
}

bool Site::leftOf(const QuadEdge* e) const {
    return ccw(e->org(), e->dest());
}

namespace {

// A total order on one coordinate: NaN above every number, all NaNs equal.
bool coordinateLess(float a, float b) {
    if (std::isnan(a)) {
        return false;
    }
    return std::isnan(b) || a < b;
}

} // namespace

bool siteLess(const Site* a, const Site* b) {
    const bool aFinite = a->isFinite();
    if (aFinite != b->isFinite()) {
        return aFinite;
    }
    if (aFinite) {
        if (a->x != b->x) {
            return a->x < b->x;
        }
        return a->y < b->y;
    }
    if (coordinateLess(a->x, b->x)) {
        return true;
    }
    if (coordinateLess(b->x, a->x)) {
        return false;
    }
    return coordinateLess(a->y, b->y);
}

} // namespace EdgeAlgebra
