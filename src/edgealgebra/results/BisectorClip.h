#pragma once

#include <array>
#include <cmath>
#include <vector>

// Convex polygons cut by perpendicular bisectors, in double precision: the
// Voronoi cells and the natural neighbours' stolen areas are both built this
// way. Internal to the core.
namespace EdgeAlgebra {

using ClipPoint = std::array<double, 2>;
using ClipPolygon = std::vector<ClipPoint>;

// A corner this close to a bisector, relative to the magnitudes that went
// into both, lies on it within rounding: about 2^10 units in the last place.
constexpr double kOnLine = 0x1p-42;

// The points at least as close to site a as to site b: side(p) <= 0, with
// side(p) = (b - a) . (p - (a + b) / 2).
struct Bisector {
    Bisector(double ax, double ay, double bx, double by, double boxScale)
        : nx(bx - ax), ny(by - ay), mx(0.5 * (ax + bx)), my(0.5 * (ay + by)),
          tolerance(kOnLine * (std::fabs(nx) + std::fabs(ny)) *
                    (boxScale + std::fabs(mx) + std::fabs(my))) {}

    double side(const ClipPoint& p) const { return nx * (p[0] - mx) + ny * (p[1] - my); }

    double nx, ny, mx, my, tolerance;
};

// Sutherland and Hodgman's clip of a convex counterclockwise polygon to the
// near side of a bisector; the corners keep their order. A corner within
// rounding of the line counts as on it and stays; a new corner is made only
// where an edge clearly crosses the line. So a line through a corner, as at a
// Voronoi vertex of four cocircular sites, adds no near-duplicate corners.
// Returns false, leaving the polygon as it was, when no corner lies clearly
// on the near side: then at most a segment or a point is left.
inline bool clip(ClipPolygon& polygon, const Bisector& line, ClipPolygon& scratch) {
    const double tolerance = line.tolerance;
    scratch.clear();
    bool inside = false;
    for (std::size_t k = 0; k < polygon.size(); ++k) {
        const ClipPoint& a = polygon[k];
        const ClipPoint& b = polygon[k + 1 < polygon.size() ? k + 1 : 0];
        const double da = line.side(a), db = line.side(b);
        inside = inside || da < -tolerance;
        if (da <= tolerance) {
            scratch.push_back(a);
        }
        if ((da < -tolerance && db > tolerance) || (da > tolerance && db < -tolerance)) {
            const double t = da / (da - db);
            scratch.push_back({a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1])});
        }
    }
    if (inside) {
        polygon.swap(scratch);
    }
    return inside;
}

// Twice the signed area of a polygon, positive for counterclockwise corners.
inline double doubleArea(const ClipPolygon& polygon) {
    double sum = 0;
    for (std::size_t k = 0; k < polygon.size(); ++k) {
        const ClipPoint& a = polygon[k];
        const ClipPoint& b = polygon[k + 1 < polygon.size() ? k + 1 : 0];
        sum += a[0] * b[1] - a[1] * b[0];
    }
    return sum;
}

} // namespace EdgeAlgebra
