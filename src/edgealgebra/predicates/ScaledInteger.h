#pragma once

#include <cmath>
#include <gmp.h>

// Coordinates as exact integers, for the exact evaluations of the
// predicates. Internal to the core.
namespace EdgeAlgebra {
namespace ExactSign {

// Every finite float is an integer multiple of 2^-149 (the smallest float
// subnormal), every finite double one of 2^-1074: a coordinate times that
// power of two is an integer, its significand shifted by its exponent.
// Scaling all coordinates alike scales each determinant by a positive power
// of two and keeps its sign; floats take the smaller scale, so that their
// integers stay short.
constexpr int kFloatScaleExponent = 149;
constexpr int kDoubleScaleExponent = 1074;
constexpr int kSignificandBits = 53;

// An mpz_t that frees itself.
class BigInt {
public:
    BigInt() { mpz_init(m_value); }
    BigInt(double coordinate, int scaleExponent) {
        int exponent = 0;
        const double significand = std::frexp(coordinate, &exponent); // in [0.5, 1)
        mpz_init_set_d(m_value, std::ldexp(significand, kSignificandBits));
        const int shift = exponent - kSignificandBits + scaleExponent;
        if (shift >= 0) {
            mpz_mul_2exp(m_value, m_value, static_cast<mp_bitcnt_t>(shift));
        } else {
            // The low bits of the significand are zero: the division is exact.
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

} // namespace ExactSign
} // namespace EdgeAlgebra
