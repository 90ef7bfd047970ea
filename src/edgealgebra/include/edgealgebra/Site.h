#pragma once

#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/predicates/FloatFilter.h"

#include <cmath>

namespace EdgeAlgebra {

// An input point of the triangulation. Coordinates are stored in single
// precision; every predicate works on them in double precision and decides
// exactly where double rounding could give the wrong sign.
class Site {
public:
    Site() : x(0.0f), y(0.0f) {}
    Site(float x, float y) : x(x), y(y) {}

    // True when this, b, c make a strict counterclockwise turn. Collinear
    // triples and triples with coincident sites give false.
    bool ccw(const Site* b, const Site* c) const;

    // True when this site lies strictly inside the circle through a, b, c
    // taken counterclockwise (strictly outside it if a, b, c run clockwise).
    // Four cocircular sites give false.
    bool inCircle(const Site* a, const Site* b, const Site* c) const;

    // Strictly right / left of the directed primal edge e (org and dest set).
    bool rightOf(const QuadEdge* e) const { return ccw(e->dest(), e->org()); }
    bool leftOf(const QuadEdge* e) const { return ccw(e->org(), e->dest()); }

    // Both coordinates finite. Only finite sites take part in a triangulation.
    bool isFinite() const { return std::isfinite(x) && std::isfinite(y); }

    float x;
    float y;

private:
    // The exact decisions, for results within the rounding bound.
    bool ccwExact(const Site* b, const Site* c) const;
    bool inCircleExact(const Site* a, const Site* b, const Site* c) const;
};

// Sort order for triangulation: ascending x, ties broken by ascending y.
// Sites with a NaN or infinite coordinate sort after every finite site, among
// themselves by x then y with NaN above every number and all NaNs equivalent,
// so the order stays a strict weak ordering whatever the coordinates (a sort
// with a broken ordering may read outside its range). Finite sites compare
// exactly as plain x-then-y.
bool siteLess(const Site* a, const Site* b);

namespace SitePredicateDetail {

// Sites with a NaN or infinite coordinate, or any pair of them.
bool nonFiniteSiteLess(const Site* a, const Site* b);

} // namespace SitePredicateDetail

// Evaluated in double exactly as written: (first - second) + third. Only when
// the result lies within the rounding bound is the sign decided exactly. The
// predicates are inline because the triangulator spends most of its time in
// them.
inline bool Site::ccw(const Site* b, const Site* c) const {
    const int sign = FloatFilter::filteredOrientation(x, y, b->x, b->y, c->x, c->y);
    return sign != 0 ? sign > 0 : ccwExact(b, c);
}

inline bool Site::inCircle(const Site* a, const Site* b, const Site* c) const {
    const int sign = FloatFilter::filteredInCircle(a->x, a->y, b->x, b->y, c->x, c->y, x, y);
    return sign != 0 ? sign > 0 : inCircleExact(a, b, c);
}

inline bool siteLess(const Site* a, const Site* b) {
    if (a->isFinite() && b->isFinite()) {
        if (a->x != b->x) {
            return a->x < b->x;
        }
        return a->y < b->y;
    }
    return SitePredicateDetail::nonFiniteSiteLess(a, b);
}

} // namespace EdgeAlgebra
