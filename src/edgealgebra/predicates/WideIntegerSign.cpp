#include "predicates/WideIntegerSign.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace EdgeAlgebra {
namespace WideIntegerSign {

namespace {

constexpr int kSignificandBits = 53;
constexpr int kLimbBits = 32;

// A signed integer of at most kLimbs 32-bit limbs, least significant first.
// Finite doubles span 2^-1074 to 2^1024: at their lowest common power of two
// a coordinate is an integer of at most 2098 bits, a difference 2099, and the
// in-circle products of four differences stay below 8400 bits.
class WideInteger {
public:
    static constexpr int kLimbs = 266;

    WideInteger() = default;

    // coordinate / 2^lowExponent, which must be an integer.
    WideInteger(double coordinate, int lowExponent) {
        if (coordinate == 0) {
            return;
        }
        m_negative = coordinate < 0;
        int exponent = 0;
        const double significand = std::frexp(std::fabs(coordinate), &exponent);
        auto bits = static_cast<std::uint64_t>(std::ldexp(significand, kSignificandBits));
        int shift = exponent - kSignificandBits - lowExponent;
        if (shift < 0) {
            bits >>= -shift; // only zero bits leave: lowExponent is common to all
            shift = 0;
        }
        const int limbShift = shift / kLimbBits;
        const int bitShift = shift % kLimbBits;
        std::fill(m_limbs, m_limbs + limbShift, 0u);
        m_size = limbShift;
        // The significand spread over three limbs after the bit shift.
        const std::uint64_t low = bits << bitShift;
        const std::uint64_t high = bitShift == 0 ? 0 : bits >> (64 - bitShift);
        for (const std::uint32_t limb :
             {static_cast<std::uint32_t>(low), static_cast<std::uint32_t>(low >> kLimbBits),
              static_cast<std::uint32_t>(high)}) {
            m_limbs[m_size++] = limb;
        }
        trim();
    }

    int sign() const { return m_size == 0 ? 0 : (m_negative ? -1 : 1); }

    // out = a + (negateB ? -b : b); out may not alias a or b.
    static void add(const WideInteger& a, const WideInteger& b, bool negateB, WideInteger& out) {
        const bool bNegative = b.m_negative != negateB;
        if (a.m_negative == bNegative) {
            addMagnitudes(a, b, out);
            out.m_negative = a.m_negative;
        } else if (compareMagnitudes(a, b) >= 0) {
            subtractMagnitudes(a, b, out);
            out.m_negative = a.m_negative;
        } else {
            subtractMagnitudes(b, a, out);
            out.m_negative = bNegative;
        }
        if (out.m_size == 0) {
            out.m_negative = false;
        }
    }

    // out = a * b; out may not alias a or b.
    static void multiply(const WideInteger& a, const WideInteger& b, WideInteger& out) {
        out.m_size = a.m_size + b.m_size;
        std::fill(out.m_limbs, out.m_limbs + out.m_size, 0u);
        for (int i = 0; i < a.m_size; ++i) {
            std::uint64_t carry = 0;
            for (int j = 0; j < b.m_size; ++j) {
                const std::uint64_t sum = static_cast<std::uint64_t>(a.m_limbs[i]) * b.m_limbs[j] +
                                          out.m_limbs[i + j] + carry;
                out.m_limbs[i + j] = static_cast<std::uint32_t>(sum);
                carry = sum >> kLimbBits;
            }
            out.m_limbs[i + b.m_size] = static_cast<std::uint32_t>(carry);
        }
        out.m_negative = a.m_negative != b.m_negative;
        out.trim();
    }

    // Sign of a - b.
    static int compare(const WideInteger& a, const WideInteger& b) {
        if (a.m_negative != b.m_negative) {
            return a.sign() > b.sign() ? 1 : -1; // zero is never negative
        }
        const int magnitude = compareMagnitudes(a, b);
        return a.m_negative ? -magnitude : magnitude;
    }

private:
    void trim() {
        while (m_size > 0 && m_limbs[m_size - 1] == 0) {
            --m_size;
        }
        if (m_size == 0) {
            m_negative = false;
        }
    }

    static int compareMagnitudes(const WideInteger& a, const WideInteger& b) {
        if (a.m_size != b.m_size) {
            return a.m_size > b.m_size ? 1 : -1;
        }
        for (int i = a.m_size - 1; i >= 0; --i) {
            if (a.m_limbs[i] != b.m_limbs[i]) {
                return a.m_limbs[i] > b.m_limbs[i] ? 1 : -1;
            }
        }
        return 0;
    }

    static void addMagnitudes(const WideInteger& a, const WideInteger& b, WideInteger& out) {
        const int size = std::max(a.m_size, b.m_size);
        std::uint64_t carry = 0;
        for (int i = 0; i < size; ++i) {
            carry += static_cast<std::uint64_t>(i < a.m_size ? a.m_limbs[i] : 0u) +
                     (i < b.m_size ? b.m_limbs[i] : 0u);
            out.m_limbs[i] = static_cast<std::uint32_t>(carry);
            carry >>= kLimbBits;
        }
        out.m_limbs[size] = static_cast<std::uint32_t>(carry);
        out.m_size = size + 1;
        out.trim();
    }

    // |out| = |a| - |b| for |a| >= |b|.
    static void subtractMagnitudes(const WideInteger& a, const WideInteger& b, WideInteger& out) {
        std::int64_t borrow = 0;
        for (int i = 0; i < a.m_size; ++i) {
            std::int64_t difference = static_cast<std::int64_t>(a.m_limbs[i]) -
                                      (i < b.m_size ? b.m_limbs[i] : 0u) - borrow;
            borrow = difference < 0 ? 1 : 0;
            out.m_limbs[i] = static_cast<std::uint32_t>(difference + (borrow << kLimbBits));
        }
        out.m_size = a.m_size;
        out.trim();
    }

    std::uint32_t m_limbs[kLimbs];
    int m_size = 0;
    bool m_negative = false;
};

// The exponent of the lowest set bit among the coordinates: each is an
// integer multiple of 2^lowestBit. Scaling all of them alike by a power of
// two scales each determinant by a positive power of two and keeps its sign,
// and choosing this one keeps the integers as short as the input allows.
int lowestBit(std::initializer_list<double> coordinates) {
    int lowest = 1 << 20;
    for (const double coordinate : coordinates) {
        if (coordinate == 0) {
            continue;
        }
        int exponent = 0;
        const double significand = std::frexp(std::fabs(coordinate), &exponent);
        const auto bits = static_cast<std::uint64_t>(std::ldexp(significand, kSignificandBits));
        lowest = std::min(lowest, exponent - kSignificandBits + __builtin_ctzll(bits));
    }
    return lowest;
}

void subtract(const WideInteger& a, const WideInteger& b, WideInteger& out) {
    WideInteger::add(a, b, true, out);
}

// out = p*q + (negate ? -r*s : r*s), with two scratch integers.
void crossTerm(const WideInteger& p, const WideInteger& q, const WideInteger& r,
               const WideInteger& s, bool negate, WideInteger& out) {
    WideInteger first, second;
    WideInteger::multiply(p, q, first);
    WideInteger::multiply(r, s, second);
    WideInteger::add(first, second, negate, out);
}

} // namespace

int orientation(double ax, double ay, double bx, double by, double cx, double cy) {
    const int low = lowestBit({ax, ay, bx, by, cx, cy});
    const WideInteger xa(ax, low), ya(ay, low), xb(bx, low), yb(by, low), xc(cx, low), yc(cy, low);
    WideInteger bxa, bya, cxa, cya, left, right;
    subtract(xb, xa, bxa);
    subtract(yb, ya, bya);
    subtract(xc, xa, cxa);
    subtract(yc, ya, cya);
    // (b - a) x (c - a)
    WideInteger::multiply(bxa, cya, left);
    WideInteger::multiply(bya, cxa, right);
    return WideInteger::compare(left, right);
}

// The in-circle determinant in the factored form P - Q of the single
// precision filter and the GMP evaluation; it equals the usual 3 x 3
// determinant.
int inCircle(double ax, double ay, double bx, double by, double cx, double cy, double dx,
             double dy) {
    const int low = lowestBit({ax, ay, bx, by, cx, cy, dx, dy});
    WideInteger dxa, dya, dxc, dyc, bxc, byc, bxa, bya;
    {
        const WideInteger xa(ax, low), ya(ay, low), xb(bx, low), yb(by, low), xc(cx, low),
            yc(cy, low), xd(dx, low), yd(dy, low);
        subtract(xd, xa, dxa);
        subtract(yd, ya, dya);
        subtract(xd, xc, dxc);
        subtract(yd, yc, dyc);
        subtract(xb, xc, bxc);
        subtract(yb, yc, byc);
        subtract(xb, xa, bxa);
        subtract(yb, ya, bya);
    }
    WideInteger first, second, p, q;
    crossTerm(dya, bxc, dxa, byc, false, first);
    crossTerm(dxc, bxa, dyc, bya, true, second);
    WideInteger::multiply(first, second, p);
    crossTerm(dyc, bxa, dxc, bya, false, first);
    crossTerm(dxa, bxc, dya, byc, true, second);
    WideInteger::multiply(first, second, q);
    return WideInteger::compare(p, q);
}

int distanceOrder(double qx, double qy, double ax, double ay, double bx, double by) {
    const int low = lowestBit({qx, qy, ax, ay, bx, by});
    WideInteger axq, ayq, bxq, byq;
    {
        const WideInteger xq(qx, low), yq(qy, low), xa(ax, low), ya(ay, low), xb(bx, low),
            yb(by, low);
        subtract(xq, xa, axq);
        subtract(yq, ya, ayq);
        subtract(xq, xb, bxq);
        subtract(yq, yb, byq);
    }
    WideInteger a2, b2;
    crossTerm(axq, axq, ayq, ayq, false, a2);
    crossTerm(bxq, bxq, byq, byq, false, b2);
    return WideInteger::compare(a2, b2);
}

} // namespace WideIntegerSign
} // namespace EdgeAlgebra
