#pragma once

#include "scene/Point.h"

namespace DelaunayTest {

// One circle to draw: the circumcircle of a triangle of the triangulation.
class Circle {
public:
    Circle(const Point& center, float radius) : center(center), radius(radius) {}
    // The circle through three points. Collinear or coincident points are not
    // rejected: their centre and radius come out infinite or NaN.
    Circle(const Point& p1, const Point& p2, const Point& p3);

    Point center;
    float radius;

private:
    // Writes the centre of the circle through the three points into `center`
    // and returns its radius.
    float computeCircumcircle(const Point& p1, const Point& p2, const Point& p3,
                              Point& center) const;
    // Determinant of the 3x3 matrix given row by row.
    float determinant3x3(float a11, float a12, float a13, float a21, float a22, float a23,
                         float a31, float a32, float a33) const;
};

} // namespace DelaunayTest
