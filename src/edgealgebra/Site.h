#pragma once

#include <cmath>

namespace EdgeAlgebra {

class QuadEdge;

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
    bool rightOf(const QuadEdge* e) const;
    bool leftOf(const QuadEdge* e) const;

    // Both coordinates finite. Only finite sites take part in a triangulation.
    bool isFinite() const { return std::isfinite(x) && std::isfinite(y); }

    float x;
    float y;
};

// Sort order for triangulation: ascending x, ties broken by ascending y.
// Sites with a NaN or infinite coordinate sort after every finite site, among
// themselves by x then y with NaN above every number and all NaNs equivalent,
// so the order stays a strict weak ordering whatever the coordinates (a sort
// with a broken ordering may read outside its range). Finite sites compare
// exactly as plain x-then-y.
bool siteLess(const Site* a, const Site* b);

} // namespace EdgeAlgebra
