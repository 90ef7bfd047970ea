// Where a point of the scene appears in the program's 800 by 600 window: a
// 45-degree perspective camera at the origin looking down -z onto the plane
// z = -10, so the window shows about +-4.142 units vertically and
// +-5.523 horizontally, origin at the centre, y up.
#pragma once

namespace e2e {

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;

// Continuous image coordinates: pixel (col, row) covers [col, col + 1) x
// [row, row + 1), row 0 at the top, so a pixel's centre is (col + 0.5, row + 0.5).
struct PixelPoint {
    double u = 0.0;
    double v = 0.0;
};

PixelPoint projectToWindow(double x, double y);

// Scene units per pixel at the drawing plane.
double pixelsPerUnit();

} // namespace e2e
