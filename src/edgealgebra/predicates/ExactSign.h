#pragma once

// Exact signs of the two triangulation predicates, for the rare inputs where
// the double-precision evaluation is too close to zero to be trusted. Internal
// to the core; not part of its public interface.
namespace EdgeAlgebra {
namespace ExactSign {

// Sign (-1, 0, 1) of the orientation determinant of a, b, c.
int orientation(float ax, float ay, float bx, float by, float cx, float cy);
int orientation(double ax, double ay, double bx, double by, double cx, double cy);

// Sign (-1, 0, 1) of the in-circle determinant of d against a, b, c: positive
// when d lies inside the circle through a, b, c taken counterclockwise.
int inCircle(float ax, float ay, float bx, float by, float cx, float cy, float dx, float dy);
int inCircle(double ax, double ay, double bx, double by, double cx, double cy, double dx,
             double dy);

} // namespace ExactSign
} // namespace EdgeAlgebra
