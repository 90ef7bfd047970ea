#include "predicates/DistanceOrder.h"

#include "predicates/ScaledInteger.h"

#include <gmp.h>

namespace EdgeAlgebra {
namespace DistanceOrder {

namespace {

// |q - p|^2 at the common scale.
void squaredDistance(mpz_ptr out, mpz_srcptr qx, mpz_srcptr qy, mpz_srcptr px, mpz_srcptr py) {
    ExactSign::BigInt dx, dy;
    mpz_sub(dx.get(), qx, px);
    mpz_sub(dy.get(), qy, py);
    mpz_mul(out, dx.get(), dx.get());
    mpz_addmul(out, dy.get(), dy.get());
}

} // namespace

int exactCompare(double qx, double qy, double ax, double ay, double bx, double by) {
    constexpr int kScale = ExactSign::kDoubleScaleExponent;
    ExactSign::BigInt xq(qx, kScale), yq(qy, kScale), xa(ax, kScale), ya(ay, kScale),
        xb(bx, kScale), yb(by, kScale);
    ExactSign::BigInt a2, b2;
    squaredDistance(a2.get(), xq.get(), yq.get(), xa.get(), ya.get());
    squaredDistance(b2.get(), xq.get(), yq.get(), xb.get(), yb.get());
    const int comparison = mpz_cmp(a2.get(), b2.get());
    return comparison > 0 ? 1 : (comparison < 0 ? -1 : 0);
}

} // namespace DistanceOrder
} // namespace EdgeAlgebra
