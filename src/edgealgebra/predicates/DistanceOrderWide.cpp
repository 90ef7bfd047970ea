#include "predicates/DistanceOrder.h"
#include "predicates/WideIntegerSign.h"

// The exact distance comparison on the core's own wide integers, for builds
// without GMP.
namespace EdgeAlgebra {
namespace DistanceOrder {

int exactCompare(double qx, double qy, double ax, double ay, double bx, double by) {
    return WideIntegerSign::distanceOrder(qx, qy, ax, ay, bx, by);
}

} // namespace DistanceOrder
} // namespace EdgeAlgebra
