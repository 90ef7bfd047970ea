#include "predicates/ExactSign.h"

#include "predicates/ScaledInteger.h"

#include <gmp.h>

namespace EdgeAlgebra {
namespace ExactSign {

namespace {

// out = p*q - r*s
void crossDifference(mpz_ptr out, mpz_srcptr p, mpz_srcptr q, mpz_srcptr r, mpz_srcptr s) {
    mpz_mul(out, p, q);
    mpz_submul(out, r, s);
}

// out = p*q + r*s
void crossSum(mpz_ptr out, mpz_srcptr p, mpz_srcptr q, mpz_srcptr r, mpz_srcptr s) {
    mpz_mul(out, p, q);
    mpz_addmul(out, r, s);
}

int orientationAtScale(int scale, double ax, double ay, double bx, double by, double cx,
                       double cy) {
    BigInt xa(ax, scale), ya(ay, scale), xb(bx, scale), yb(by, scale), xc(cx, scale), yc(cy, scale);
    BigInt det, term;
    crossDifference(det.get(), xb.get(), yc.get(), yb.get(), xc.get());
    crossDifference(term.get(), xa.get(), yc.get(), ya.get(), xc.get());
    mpz_sub(det.get(), det.get(), term.get());
    crossDifference(term.get(), xa.get(), yb.get(), ya.get(), xb.get());
    mpz_add(det.get(), det.get(), term.get());
    return mpz_sgn(det.get());
}

// The in-circle determinant in the factored form P - Q that the single
// precision filter evaluates; it equals the usual 3 x 3 determinant.
int inCircleAtScale(int scale, double ax, double ay, double bx, double by, double cx, double cy,
                    double dx, double dy) {
    BigInt xa(ax, scale), ya(ay, scale), xb(bx, scale), yb(by, scale), xc(cx, scale), yc(cy, scale),
        xd(dx, scale), yd(dy, scale);
    // Coordinate differences, named by their end points: dxa = d.x - a.x, ...
    BigInt dxa, dya, dxc, dyc, bxc, byc, bxa, bya;
    mpz_sub(dxa.get(), xd.get(), xa.get());
    mpz_sub(dya.get(), yd.get(), ya.get());
    mpz_sub(dxc.get(), xd.get(), xc.get());
    mpz_sub(dyc.get(), yd.get(), yc.get());
    mpz_sub(bxc.get(), xb.get(), xc.get());
    mpz_sub(byc.get(), yb.get(), yc.get());
    mpz_sub(bxa.get(), xb.get(), xa.get());
    mpz_sub(bya.get(), yb.get(), ya.get());

    BigInt first, second, p, q;
    crossSum(first.get(), dya.get(), bxc.get(), dxa.get(), byc.get());
    crossDifference(second.get(), dxc.get(), bxa.get(), dyc.get(), bya.get());
    mpz_mul(p.get(), first.get(), second.get());
    crossSum(first.get(), dyc.get(), bxa.get(), dxc.get(), bya.get());
    crossDifference(second.get(), dxa.get(), bxc.get(), dya.get(), byc.get());
    mpz_mul(q.get(), first.get(), second.get());
    const int comparison = mpz_cmp(p.get(), q.get());
    return comparison > 0 ? 1 : (comparison < 0 ? -1 : 0);
}

} // namespace

int orientation(float ax, float ay, float bx, float by, float cx, float cy) {
    return orientationAtScale(kFloatScaleExponent, ax, ay, bx, by, cx, cy);
}

int orientation(double ax, double ay, double bx, double by, double cx, double cy) {
    return orientationAtScale(kDoubleScaleExponent, ax, ay, bx, by, cx, cy);
}

int inCircle(float ax, float ay, float bx, float by, float cx, float cy, float dx, float dy) {
    return inCircleAtScale(kFloatScaleExponent, ax, ay, bx, by, cx, cy, dx, dy);
}

int inCircle(double ax, double ay, double bx, double by, double cx, double cy, double dx,
             double dy) {
    return inCircleAtScale(kDoubleScaleExponent, ax, ay, bx, by, cx, cy, dx, dy);
}

} // namespace ExactSign
} // namespace EdgeAlgebra
