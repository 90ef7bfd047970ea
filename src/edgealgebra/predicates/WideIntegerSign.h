#pragma once

// Exact signs of the two triangulation predicates in plain C++, without GMP:
// the coordinates become integers at a common power of two and the
// determinants are evaluated on wide integers of fixed capacity. Builds that
// have no GMP (WebAssembly) decide their close calls with these; elsewhere
// they are a second, independent evaluation. Internal to the core.
namespace EdgeAlgebra {
namespace WideIntegerSign {

// Sign (-1, 0, 1) of the orientation determinant of a, b, c.
int orientation(double ax, double ay, double bx, double by, double cx, double cy);

// Sign (-1, 0, 1) of the in-circle determinant of d against a, b, c: positive
// when d lies inside the circle through a, b, c taken counterclockwise.
int inCircle(double ax, double ay, double bx, double by, double cx, double cy, double dx,
             double dy);

// Sign (-1, 0, 1) of |q - a|^2 - |q - b|^2: negative when a lies nearer q.
int distanceOrder(double qx, double qy, double ax, double ay, double bx, double by);

} // namespace WideIntegerSign
} // namespace EdgeAlgebra
