#include "predicates/DoublePredicates.h"

#include <cmath>
#include <gmp.h>

namespace EdgeAlgebra {
namespace DoublePredicates {
namespace Detail {

namespace {

// Every finite double is an integer multiple of 2^-1074 (the smallest
// subnormal), so a coordinate times 2^1074 is an integer: its 53-bit
// significand shifted by its exponent. Scaling all coordinates alike scales
// each determinant by a positive power of two and keeps its sign.
constexpr int kDoubleScaleExponent = 1074;
constexpr int kSignificandBits = 53;

// An mpz_t that frees itself.
class BigInt {
public:
    BigInt() { mpz_init(m_value); }
    explicit BigInt(double coordinate) {
        int exponent = 0;
        const double significand = std::frexp(coordinate, &exponent); // in [0.5, 1)
        mpz_init_set_d(m_value, std::ldexp(significand, kSignificandBits));
        const int shift = exponent - kSignificandBits + kDoubleScaleExponent;
        if (shift >= 0) {
            mpz_mul_2exp(m_value, m_value, static_cast<mp_bitcnt_t>(shift));
        } else {
            // A subnormal: its significand's low bits are zero, so the
            // division is exact.
            mpz_tdiv_q_2exp(m_value, m_value, static_cast<mp_bitcnt_t>(-shift));
        }
    }
    ~BigInt() { mpz_clear(m_value); }
    BigInt(const BigInt&) = delete;
    BigInt& operator=(const BigInt&) = delete;

    mpz_ptr get() { return m_value; }

private:
    mpz_t m_value;
};

} // namespace

int exactOrientation(double ax, double ay, double bx, double by, double cx, double cy) {
    BigInt xa(ax), ya(ay), xb(bx), yb(by), xc(cx), yc(cy);
    BigInt acx, bcy, acy, bcx, det;
    mpz_sub(acx.get(), xa.get(), xc.get());
    mpz_sub(bcy.get(), yb.get(), yc.get());
    mpz_sub(acy.get(), ya.get(), yc.get());
    mpz_sub(bcx.get(), xb.get(), xc.get());
    mpz_mul(det.get(), acx.get(), bcy.get());
    mpz_submul(det.get(), acy.get(), bcx.get());
    return mpz_sgn(det.get());
}

int exactInCircle(double ax, double ay, double bx, double by, double cx, double cy, double dx,
                  double dy) {
    BigInt xd(dx), yd(dy);
    // Each point relative to d, and its lift |p - d|^2.
    struct Relative {
        BigInt x, y, lift;
    };
    Relative rel[3];
    const double xs[3] = {ax, bx, cx}, ys[3] = {ay, by, cy};
    for (int i = 0; i < 3; ++i) {
        BigInt x(xs[i]), y(ys[i]);
        mpz_sub(rel[i].x.get(), x.get(), xd.get());
        mpz_sub(rel[i].y.get(), y.get(), yd.get());
        mpz_mul(rel[i].lift.get(), rel[i].x.get(), rel[i].x.get());
        mpz_addmul(rel[i].lift.get(), rel[i].y.get(), rel[i].y.get());
    }
    BigInt det, minor;
    for (int i = 0; i < 3; ++i) {
        Relative& p = rel[(i + 1) % 3];
        Relative& q = rel[(i + 2) % 3];
        // lift_i * (p.x q.y - q.x p.y), summed cyclically.
        mpz_mul(minor.get(), p.x.get(), q.y.get());
        mpz_submul(minor.get(), q.x.get(), p.y.get());
        mpz_addmul(det.get(), rel[i].lift.get(), minor.get());
    }
    return mpz_sgn(det.get());
}

} // namespace Detail
} // namespace DoublePredicates
} // namespace EdgeAlgebra
