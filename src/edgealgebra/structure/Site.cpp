#include "edgealgebra/Site.h"

#include "predicates/ExactSign.h"

#include <cmath>

namespace EdgeAlgebra {

namespace {

bool sameSite(const Site* a, const Site* b) {
    return a->x == b->x && a->y == b->y;
}

// A total order on one coordinate: NaN above every number, all NaNs equal.
bool coordinateLess(float a, float b) {
    if (std::isnan(a)) {
        return false;
    }
    return std::isnan(b) || a < b;
}

} // namespace

// Coincident sites make the determinant exactly zero: decided without the
// big-number evaluation (the merge meets them often, as a candidate ending at
// the base edge's own origin).
bool Site::ccwExact(const Site* b, const Site* c) const {
    if (sameSite(this, b) || sameSite(this, c) || sameSite(b, c)) {
        return false;
    }
    return ExactSign::orientation(x, y, b->x, b->y, c->x, c->y) > 0;
}

// A tested site on one of the three defining sites lies on the circle, and two
// coincident defining sites make two rows of the determinant equal: zero.
bool Site::inCircleExact(const Site* a, const Site* b, const Site* c) const {
    if (sameSite(this, a) || sameSite(this, b) || sameSite(this, c) || sameSite(a, b) ||
        sameSite(a, c) || sameSite(b, c)) {
        return false;
    }
    return ExactSign::inCircle(a->x, a->y, b->x, b->y, c->x, c->y, x, y) > 0;
}

namespace SitePredicateDetail {

bool nonFiniteSiteLess(const Site* a, const Site* b) {
    const bool aFinite = a->isFinite();
    if (aFinite != b->isFinite()) {
        return aFinite;
    }
    if (coordinateLess(a->x, b->x)) {
        return true;
    }
    if (coordinateLess(b->x, a->x)) {
        return false;
    }
    return coordinateLess(a->y, b->y);
}

} // namespace SitePredicateDetail

} // namespace EdgeAlgebra
