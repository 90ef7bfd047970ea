#include "predicates/ExactSign.h"
#include "predicates/WideIntegerSign.h"

// The exact fallback on the core's own wide integers, for builds without GMP.
// Every float is a double, so both precisions take the same evaluation.
namespace EdgeAlgebra {
namespace ExactSign {

int orientation(float ax, float ay, float bx, float by, float cx, float cy) {
    return WideIntegerSign::orientation(ax, ay, bx, by, cx, cy);
}

int orientation(double ax, double ay, double bx, double by, double cx, double cy) {
    return WideIntegerSign::orientation(ax, ay, bx, by, cx, cy);
}

int inCircle(float ax, float ay, float bx, float by, float cx, float cy, float dx, float dy) {
    return WideIntegerSign::inCircle(ax, ay, bx, by, cx, cy, dx, dy);
}

int inCircle(double ax, double ay, double bx, double by, double cx, double cy, double dx,
             double dy) {
    return WideIntegerSign::inCircle(ax, ay, bx, by, cx, cy, dx, dy);
}

} // namespace ExactSign
} // namespace EdgeAlgebra
