#include "predicates/ExactSign.h"

#include <cmath>
#include <gmp.h>

namespace EdgeAlgebra {
namespace ExactSign {

namespace {

// Every finite float is an integer multiple of 2^-149 (the smallest
// subnormal), so a coordinate times 2^149 is an integer, and it is exact in a
// double because it stays below 2^277. Scaling all coordinates alike scales
// each determinant by a positive power of two and keeps its sign.
constexpr int kFloatScaleExponent = 149;

// An mpz_t that frees itself.
class BigInt {
public:
    BigInt() { mpz_init(m_value); }
    explicit BigInt(float coordinate) {
        mpz_init_set_d(m_value, std::ldexp(static_cast<double>(coordinate), kFloatScaleExponent));
    }
    ~BigInt() { mpz_clear(m_value); }
    BigInt(const BigInt&) = delete;
    BigInt& operator=(const BigInt&) = delete;

    mpz_ptr get() { return m_value; }

private:
    mpz_t m_value;
};

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

} // namespace

int orientation(float ax, float ay, float bx, float by, float cx, float cy) {
    BigInt xa(ax), ya(ay), xb(bx), yb(by), xc(cx), yc(cy);
    BigInt det, term;
    crossDifference(det.get(), xb.get(), yc.get(), yb.get(), xc.get());
    crossDifference(term.get(), xa.get(), yc.get(), ya.get(), xc.get());
    mpz_sub(det.get(), det.get(), term.get());
    crossDifference(term.get(), xa.get(), yb.get(), ya.get(), xb.get());
    mpz_add(det.get(), det.get(), term.get());
    return mpz_sgn(det.get());
}

int inCircle(float ax, float ay, float bx, float by, float cx, float cy, float dx, float dy) {
    BigInt xa(ax), ya(ay), xb(bx), yb(by), xc(cx), yc(cy), xd(dx), yd(dy);
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
    return mpz_cmp(p.get(), q.get()) > 0 ? 1 : (mpz_cmp(p.get(), q.get()) < 0 ? -1 : 0);
}

} // namespace ExactSign
} // namespace EdgeAlgebra
