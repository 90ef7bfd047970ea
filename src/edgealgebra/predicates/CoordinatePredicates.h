#pragma once

#include "edgealgebra/predicates/FloatFilter.h"
#include "predicates/DoublePredicates.h"
#include "predicates/ExactSign.h"

namespace EdgeAlgebra {

// The exact signs of the two predicates for sites stored as Coordinate
// (float or double), for the constructions that work on plain coordinates.
// Each first decides in double precision with an error bound fitted to its
// inputs, and exactly only where that cannot.
template <typename Coordinate>
struct CoordinatePredicates;

// Single-precision sites decide exactly as Site's predicates do.
template <>
struct CoordinatePredicates<float> {
    // Positive when a, b, c turn counterclockwise, zero when collinear.
    [[gnu::always_inline]] static int orientation(float ax, float ay, float bx, float by, float cx,
                                                  float cy) {
        const int sign = FloatFilter::filteredOrientation(ax, ay, bx, by, cx, cy);
        return sign != 0 ? sign : ExactSign::orientation(ax, ay, bx, by, cx, cy);
    }
    // Positive when d lies strictly inside the circle through a, b, c taken
    // counterclockwise.
    [[gnu::always_inline]] static int inCircle(float ax, float ay, float bx, float by, float cx,
                                               float cy, float dx, float dy) {
        const int sign = FloatFilter::filteredInCircle(ax, ay, bx, by, cx, cy, dx, dy);
        return sign != 0 ? sign : ExactSign::inCircle(ax, ay, bx, by, cx, cy, dx, dy);
    }
};

template <>
struct CoordinatePredicates<double> {
    [[gnu::always_inline]] static int orientation(double ax, double ay, double bx, double by,
                                                  double cx, double cy) {
        return DoublePredicates::orientation(ax, ay, bx, by, cx, cy);
    }
    [[gnu::always_inline]] static int inCircle(double ax, double ay, double bx, double by,
                                               double cx, double cy, double dx, double dy) {
        return DoublePredicates::inCircle(ax, ay, bx, by, cx, cy, dx, dy);
    }
};

} // namespace EdgeAlgebra
