#pragma once

#include <cmath>

// Which of two sites lies nearer a point, decided exactly. Internal to the
// core.
namespace EdgeAlgebra {
namespace DistanceOrder {

// The exact sign of |q - a|^2 - |q - b|^2 by rational arithmetic.
int exactCompare(double qx, double qy, double ax, double ay, double bx, double by);

// Sign of |q - a|^2 - |q - b|^2: negative when a lies nearer q than b, zero
// when both lie at the same distance. The double evaluation decides unless
// the difference lies within its error bound (each squared distance is off
// by at most 3 units in the last place of itself, plus one for the
// subtraction); then the exact evaluation decides.
inline int compare(double qx, double qy, double ax, double ay, double bx, double by) {
    const double adx = qx - ax, ady = qy - ay, bdx = qx - bx, bdy = qy - by;
    const double a2 = adx * adx + ady * ady, b2 = bdx * bdx + bdy * bdy;
    const double magnitude = a2 + b2;
    const double difference = a2 - b2;
    constexpr double kBound = 8.0 * 0x1p-53;
    if (std::isfinite(magnitude) && magnitude > 0x1p-900 &&
        std::fabs(difference) > kBound * magnitude) {
        return difference < 0.0 ? -1 : 1;
    }
    return exactCompare(qx, qy, ax, ay, bx, by);
}

} // namespace DistanceOrder
} // namespace EdgeAlgebra
