#include "ExactOracle.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

using EdgeAlgebra::Site;

namespace {

// 128-bit integers: a GCC and Clang extension, marked so under -Wpedantic.
__extension__ typedef __int128 Int;

constexpr double kGridScale = 4096.0;
constexpr double kGridLimit = 1 << 20;

bool isGridValue(float v) {
    const double scaled = static_cast<double>(v) * kGridScale;
    return std::floor(scaled) == scaled && std::fabs(scaled) < kGridLimit;
}

Int gridValue(float v) {
    return static_cast<Int>(static_cast<std::int64_t>(v * kGridScale));
}

mpq_class rational(double v) {
    return mpq_class(v); // exact: every double is a dyadic rational
}

int signOf(Int v) {
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

template <typename Number, typename Point, typename Convert>
Number inCircleDeterminant(const Point& a, const Point& b, const Point& c, const Point& d,
                           Convert convert) {
    const Number dx = convert(d.x), dy = convert(d.y);
    const Number ax = convert(a.x) - dx, ay = convert(a.y) - dy;
    const Number bx = convert(b.x) - dx, by = convert(b.y) - dy;
    const Number cx = convert(c.x) - dx, cy = convert(c.y) - dy;
    const Number a2 = ax * ax + ay * ay, b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
    return ax * (by * c2 - b2 * cy) - ay * (bx * c2 - b2 * cx) + a2 * (bx * cy - by * cx);
}

template <typename Number, typename Point, typename Convert>
Number orientationDeterminant(const Point& a, const Point& b, const Point& c, Convert convert) {
    const Number abx = convert(b.x) - convert(a.x), aby = convert(b.y) - convert(a.y);
    const Number acx = convert(c.x) - convert(a.x), acy = convert(c.y) - convert(a.y);
    return abx * acy - aby * acx;
}

} // namespace

ExactOracle::ExactOracle(const std::vector<Site*>& sites) : m_onGrid(true) {
    for (const Site* s : sites) {
        m_onGrid = m_onGrid && isGridValue(s->x) && isGridValue(s->y);
    }
}

int ExactOracle::orientation(const Site& a, const Site& b, const Site& c) const {
    if (m_onGrid) {
        return signOf(orientationDeterminant<Int>(a, b, c, gridValue));
    }
    return exactOrientationSign(a, b, c);
}

int ExactOracle::inCircle(const Site& a, const Site& b, const Site& c, const Site& d) const {
    if (m_onGrid) {
        return signOf(inCircleDeterminant<Int>(a, b, c, d, gridValue));
    }
    return exactInCircleSign(a, b, c, d);
}

mpq_class ExactOracle::doubleArea(const Site& a, const Site& b, const Site& c) {
    return orientationDeterminant<mpq_class>(a, b, c, rational);
}

int exactInCircleSign(const Site& a, const Site& b, const Site& c, const Site& d) {
    return sgn(inCircleDeterminant<mpq_class>(a, b, c, d, rational));
}

int exactOrientationSign(const Site& a, const Site& b, const Site& c) {
    return sgn(orientationDeterminant<mpq_class>(a, b, c, rational));
}

int exactOrientationSign(const PointD& a, const PointD& b, const PointD& c) {
    return sgn(orientationDeterminant<mpq_class>(a, b, c, rational));
}

int exactInCircleSign(const PointD& a, const PointD& b, const PointD& c, const PointD& d) {
    return sgn(inCircleDeterminant<mpq_class>(a, b, c, d, rational));
}

int exactDistanceOrder(const PointD& q, const PointD& a, const PointD& b) {
    const auto squared = [&q](const PointD& p) {
        const mpq_class dx = mpq_class(q.x) - mpq_class(p.x), dy = mpq_class(q.y) - mpq_class(p.y);
        return mpq_class(dx * dx + dy * dy);
    };
    return sgn(mpq_class(squared(a) - squared(b)));
}

namespace {

// Determinant of the 3x3 matrix with rows (p.x, p.y, 1).
mpq_class minorOf(const PointD& p, const PointD& q, const PointD& r) {
    return orientationDeterminant<mpq_class>(p, q, r, rational);
}

} // namespace

int canonicalInCircleSign(const PointD& a, const PointD& b, const PointD& c, const PointD& d) {
    const int exact = exactInCircleSign(a, b, c, d);
    if (exact != 0) {
        return exact;
    }
    // Row i of the 4x4 determinant (a, b, c, d) carries eps_i in column 2:
    // its coefficient is the cofactor (-1)^(i + 2) times the minor without
    // row i and column 2.
    const std::array<PointD, 4> rows{a, b, c, d};
    std::array<int, 4> byRank{0, 1, 2, 3};
    std::sort(byRank.begin(), byRank.end(), [&rows](int i, int j) {
        return std::make_pair(rows[i].x, rows[i].y) < std::make_pair(rows[j].x, rows[j].y);
    });
    for (const int i : byRank) {
        std::array<PointD, 3> others{};
        for (int k = 0, m = 0; k < 4; ++k) {
            if (k != i) {
                others[m++] = rows[k];
            }
        }
        const int cofactor = (i % 2 == 0 ? 1 : -1) * sgn(minorOf(others[0], others[1], others[2]));
        if (cofactor != 0) {
            return cofactor;
        }
    }
    return 0;
}

bool circumdiskInBox(const PointD& a, const PointD& b, const PointD& c, double xmin, double ymin,
                     double xmax, double ymax) {
    const mpq_class bx = rational(b.x) - rational(a.x), by = rational(b.y) - rational(a.y);
    const mpq_class cx = rational(c.x) - rational(a.x), cy = rational(c.y) - rational(a.y);
    const mpq_class twiceArea = 2 * (bx * cy - by * cx);
    const mpq_class b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
    const mpq_class ux = (cy * b2 - by * c2) / twiceArea, uy = (bx * c2 - cx * b2) / twiceArea;
    const mpq_class radius2 = ux * ux + uy * uy;
    const mpq_class centreX = ux + rational(a.x), centreY = uy + rational(a.y);
    // Each side's distance from the centre at least the radius.
    const std::array<mpq_class, 4> gaps{centreX - rational(xmin), rational(xmax) - centreX,
                                        centreY - rational(ymin), rational(ymax) - centreY};
    for (const mpq_class& gap : gaps) {
        if (gap < 0 || gap * gap < radius2) {
            return false;
        }
    }
    return true;
}
