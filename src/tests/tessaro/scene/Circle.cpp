#include "scene/Circle.h"

#include <cmath>

// Every named value below is stored as a float the moment it is formed; the
// expression that forms it is evaluated in double precision. Degenerate input
// (collinear or coincident points) is not tested for: the divisions by a zero
// determinant give infinities or NaNs, which are kept.

namespace DelaunayTest {

namespace {

double d(float value) {
    return static_cast<double>(value);
}

} // namespace

Circle::Circle(const Point& p1, const Point& p2, const Point& p3) : center(), radius(0.0f) {
    radius = computeCircumcircle(p1, p2, p3, center);
}

float Circle::computeCircumcircle(const Point& p1, const Point& p2, const Point& p3,
                                  Point& center) const {
    const float s1 = static_cast<float>(d(p1.x) * d(p1.x) + d(p1.y) * d(p1.y));
    const float s2 = static_cast<float>(d(p2.x) * d(p2.x) + d(p2.y) * d(p2.y));
    const float s3 = static_cast<float>(d(p3.x) * d(p3.x) + d(p3.y) * d(p3.y));

    const float d0 = determinant3x3(p1.x, p1.y, 1.0f, p2.x, p2.y, 1.0f, p3.x, p3.y, 1.0f);
    const float dx = determinant3x3(s1, p1.y, 1.0f, s2, p2.y, 1.0f, s3, p3.y, 1.0f);
    const float dy = determinant3x3(s1, p1.x, 1.0f, s2, p2.x, 1.0f, s3, p3.x, 1.0f);
    const float dr = determinant3x3(s1, p1.x, p1.y, s2, p2.x, p2.y, s3, p3.x, p3.y);

    // From the circle equation d0 (x^2 + y^2) - dx x + dy y - dr = 0.
    center.x = static_cast<float>((d(dx) / d(d0)) * 0.5);
    center.y = static_cast<float>((d(dy) / d(d0)) * -0.5);
    const float r2 =
        static_cast<float>(d(center.x) * d(center.x) + d(center.y) * d(center.y) + d(dr) / d(d0));
    return static_cast<float>(std::sqrt(d(r2)));
}

float Circle::determinant3x3(float a11, float a12, float a13, float a21, float a22, float a23,
                             float a31, float a32, float a33) const {
    // Expansion along the first row, in this grouping.
    const double t1 = (d(a22) * d(a33) - d(a23) * d(a32)) * d(a11);
    const double t2 = (d(a21) * d(a33) - d(a23) * d(a31)) * d(a12);
    const double t3 = (d(a21) * d(a32) - d(a22) * d(a31)) * d(a13);
    return static_cast<float>((t1 - t2) + t3);
}

} // namespace DelaunayTest
