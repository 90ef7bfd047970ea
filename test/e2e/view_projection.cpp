#include "view_projection.h"

#include <cmath>

namespace e2e {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kPlaneDistance = 10.0;
constexpr double kFieldOfViewDegrees = 45.0;

// Half the visible height of the drawing plane, in scene units.
double halfViewHeight() {
    return kPlaneDistance * std::tan(kFieldOfViewDegrees * kPi / 360.0);
}

} // namespace

double pixelsPerUnit() {
    return (kWindowHeight / 2.0) / halfViewHeight();
}

PixelPoint projectToWindow(double x, double y) {
    // Square pixels: the aspect ratio of the projection is the window's.
    const double scale = pixelsPerUnit();
    return {kWindowWidth / 2.0 + x * scale, kWindowHeight / 2.0 - y * scale};
}

} // namespace e2e
