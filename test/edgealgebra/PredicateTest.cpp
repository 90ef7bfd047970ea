#include "ExactOracle.h"
#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/Site.h"
#include "predicates/DistanceOrder.h"
#include "predicates/ExactSign.h"
#include "predicates/WideIntegerSign.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using EdgeAlgebra::QuadEdge;
using EdgeAlgebra::Site;

namespace {

struct CcwCase {
    Site a, b, c;
    bool expected;
};

TEST(SitePredicates, CcwIsStrictInEveryOrder) {
    const CcwCase cases[] = {
        {{0, 0}, {1, 0}, {0, 1}, true},  {{0, 0}, {0, 1}, {1, 0}, false},
        {{0, 0}, {1, 1}, {2, 2}, false}, {{1, 1}, {0, 0}, {2, 2}, false},
        {{2, 2}, {1, 1}, {0, 0}, false}, {{0, 0}, {2, 2}, {1, 1}, false},
        {{0, 0}, {0, 0}, {1, 0}, false}, {{1, 0}, {0, 0}, {0, 0}, false},
    };
    for (const CcwCase& t : cases) {
        EXPECT_EQ(t.a.ccw(&t.b, &t.c), t.expected)
            << "(" << t.a.x << "," << t.a.y << ") (" << t.b.x << "," << t.b.y << ") (" << t.c.x
            << "," << t.c.y << ")";
    }
}

struct InCircleCase {
    Site d, a, b, c;
    bool expected;
};

TEST(SitePredicates, InCircleIsStrictAndFollowsOrientation) {
    const InCircleCase cases[] = {
        // a, b, c counterclockwise: inside is true, on the circle and outside false
        {{0, 0}, {1, 0}, {0, 1}, {-1, 0}, true},
        {{0, -1}, {1, 0}, {0, 1}, {-1, 0}, false},
        {{0, 2}, {1, 0}, {0, 1}, {-1, 0}, false},
        // clockwise: the meaning turns over
        {{0, 0}, {-1, 0}, {0, 1}, {1, 0}, false},
        {{0, 2}, {-1, 0}, {0, 1}, {1, 0}, true},
        // unit square: cocircular
        {{1, 1}, {0, 0}, {1, 0}, {0, 1}, false},
    };
    for (const InCircleCase& t : cases) {
        EXPECT_EQ(t.d.inCircle(&t.a, &t.b, &t.c), t.expected)
            << "d=(" << t.d.x << "," << t.d.y << ")";
    }
}

TEST(SitePredicates, SideOfEdgeIsStrict) {
    Site from(0, 0), to(1, 0), below(0.5f, -1), above(0.5f, 1), onLine(2, 0);
    QuadEdge* e = new QuadEdge;
    e->setOrg(&from);
    e->setDest(&to);
    EXPECT_TRUE(below.rightOf(e));
    EXPECT_FALSE(below.leftOf(e));
    EXPECT_TRUE(above.leftOf(e));
    EXPECT_FALSE(above.rightOf(e));
    EXPECT_FALSE(onLine.rightOf(e));
    EXPECT_FALSE(onLine.leftOf(e));
    delete e;
}

TEST(SitePredicates, SiteLessOrdersByXThenY) {
    Site a(1, 2), b(1, 3), c(0, 5), d(1, -5), e(1, 2);
    EXPECT_TRUE(EdgeAlgebra::siteLess(&a, &b));
    EXPECT_FALSE(EdgeAlgebra::siteLess(&b, &a));
    EXPECT_TRUE(EdgeAlgebra::siteLess(&c, &d));
    EXPECT_FALSE(EdgeAlgebra::siteLess(&a, &e));
    EXPECT_FALSE(EdgeAlgebra::siteLess(&e, &a));

    Site p(0, 1), q(0, 0), r(-1, 5);
    std::vector<Site*> sites{&p, &q, &r};
    std::sort(sites.begin(), sites.end(), EdgeAlgebra::siteLess);
    EXPECT_EQ(sites, (std::vector<Site*>{&r, &q, &p}));
}

// The double formulas exactly as the core evaluates them first, to show that
// the samples below reach inputs where plain rounding decides wrongly.
bool roundedInCircle(const Site& d, const Site& a, const Site& b, const Site& c) {
    const double p =
        ((double(d.y) - a.y) * (double(b.x) - c.x) + (double(d.x) - a.x) * (double(b.y) - c.y)) *
        ((double(d.x) - c.x) * (double(b.x) - a.x) - (double(d.y) - c.y) * (double(b.y) - a.y));
    const double q =
        ((double(d.y) - c.y) * (double(b.x) - a.x) + (double(d.x) - c.x) * (double(b.y) - a.y)) *
        ((double(d.x) - a.x) * (double(b.x) - c.x) - (double(d.y) - a.y) * (double(b.y) - c.y));
    return q < p;
}

// An isosceles trapezoid is always cocircular. Lifting one of its corners off
// the axis by a tiny amount leaves an exact in-circle value far below the
// rounding error of the double formula: the family of the four-site case.
TEST(SitePredicates, InCircleAgreesWithExactValuesNearCircles) {
    std::mt19937 rng(20261207);
    std::uniform_real_distribution<float> coordinate(0.01f, 4.0f);
    std::uniform_int_distribution<int> liftExponent(-90, -30);
    std::uniform_int_distribution<int> coin(0, 1);
    int roundedWrong = 0;
    for (int i = 0; i < 20000; ++i) {
        const float a = coordinate(rng), b = coordinate(rng), depth = -coordinate(rng);
        const float lift = (coin(rng) != 0 ? 1.0f : -1.0f) *
                           (i % 5 == 0 ? 0.0f : std::ldexp(1.0f, liftExponent(rng)));
        Site sites[] = {{-a, lift}, {-b, depth}, {b, depth}, {a, 0.0f}};
        std::shuffle(std::begin(sites), std::end(sites), rng);
        const Site &d = sites[0], &p = sites[1], &q = sites[2], &r = sites[3];
        const bool exact = exactInCircleSign(p, q, r, d) > 0;
        ASSERT_EQ(d.inCircle(&p, &q, &r), exact) << "sample " << i;
        roundedWrong += roundedInCircle(d, p, q, r) != exact ? 1 : 0;
    }
    EXPECT_GT(roundedWrong, 100) << "the samples rarely reach the rounding trouble";
}

double roundedOrientation(const Site& a, const Site& b, const Site& c) {
    const double ax = a.x, ay = a.y, bx = b.x, by = b.y, cx = c.x, cy = c.y;
    return (bx * cy - by * cx) - (ax * cy - ay * cx) + (ax * by - ay * bx);
}

// (-X, t), (0, t/2), (X, s) with |s| far below |t|: the rounding of one term
// swallows s, which alone decides the turn.
TEST(SitePredicates, CcwAgreesWithExactValuesNearLines) {
    std::mt19937 rng(4096);
    std::uniform_real_distribution<float> width(0.01f, 4.0f), unit(-1.0f, 1.0f);
    std::uniform_int_distribution<int> bigExponent(-40, 0), smallExponent(-100, -30);
    int roundedWrong = 0;
    for (int i = 0; i < 20000; ++i) {
        const float x = width(rng), t = std::ldexp(unit(rng), bigExponent(rng));
        Site sites[] = {{-x, t}, {0.0f, t / 2}, {x, std::ldexp(unit(rng), smallExponent(rng))}};
        std::shuffle(std::begin(sites), std::end(sites), rng);
        const bool exact = exactOrientationSign(sites[0], sites[1], sites[2]) > 0;
        ASSERT_EQ(sites[0].ccw(&sites[1], &sites[2]), exact) << "sample " << i;
        roundedWrong += (roundedOrientation(sites[0], sites[1], sites[2]) > 0) != exact ? 1 : 0;
    }
    EXPECT_GT(roundedWrong, 100) << "the samples rarely reach the rounding trouble";
}

// The four sites whose rounded in-circle value says "inside" although the exact
// value (about -9.5e-22) says "outside".
TEST(SitePredicates, FourNearlyCocircularSitesAreDecidedExactly) {
    const Site sites[] = {{-2.0f, 2.4492937e-16f},
                          {-1.41421354f, -1.41421354f},
                          {1.41421354f, -1.41421354f},
                          {2.0f, 0.0f}};
    int perm[] = {0, 1, 2, 3};
    do {
        const Site &d = sites[perm[0]], &a = sites[perm[1]], &b = sites[perm[2]],
                   &c = sites[perm[3]];
        EXPECT_EQ(d.inCircle(&a, &b, &c), exactInCircleSign(a, b, c, d) > 0);
    } while (std::next_permutation(perm, perm + 4));
}

// Points a few ulps off a line or a circle, at one scale of the double range
// or at magnitudes mixed within one determinant.
struct HardInput {
    const char* name;
    int lowScale, highScale; // each point scaled by 2^k, k drawn from [low, high]
    bool asFloat;            // rounded to float (the float overloads of ExactSign)
};

PointD nudged(PointD p, std::mt19937_64& rng) {
    std::uniform_int_distribution<int> steps(-2, 2);
    for (int i = steps(rng); i != 0; i -= (i > 0 ? 1 : -1)) {
        p.x = std::nextafter(p.x, i > 0 ? 1e308 : -1e308);
    }
    return p;
}

// The wide integers and the build's exact fallback (GMP, or the wide integers
// themselves) against the rational oracle, on input where double arithmetic
// cannot decide: across subnormals, the extremes and mixed magnitudes.
TEST(ExactFallbacks, WideIntegersAgreeWithGmpAndTheOracleOnHardInput) {
    const HardInput cases[] = {{"unit", 0, 0, false},        {"subnormal", -1074, -1040, false},
                               {"tiny", -1000, -900, false}, {"huge", 900, 970, false},
                               {"mixed", -1070, 970, false}, {"float", -140, 120, true}};
    std::mt19937_64 rng(23);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (const HardInput& hard : cases) {
        std::uniform_int_distribution<int> scale(hard.lowScale, hard.highScale);
        auto place = [&](PointD p) {
            const int k = scale(rng);
            p = {std::ldexp(p.x, k), std::ldexp(p.y, k)};
            return hard.asFloat ? PointD{float(p.x), float(p.y)} : p;
        };
        int zeros = 0;
        for (int sample = 0; sample < 400; ++sample) {
            // Three points on a line and four on a circle, before rounding.
            const PointD a{unit(rng), unit(rng)}, b{unit(rng), unit(rng)};
            const double t = sample % 4 == 0 ? 2.0 : unit(rng) * 3;
            const PointD c{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
            const PointD line[] = {place(a), place(b), place(nudged(c, rng))};
            PointD circle[4];
            for (PointD& p : circle) {
                const double angle = unit(rng) * 3.14159;
                p = place(nudged({std::cos(angle), sample % 4 == 0 ? 0.0 : std::sin(angle)}, rng));
            }
            const int orientation = exactOrientationSign(line[0], line[1], line[2]);
            const int inCircle = exactInCircleSign(circle[0], circle[1], circle[2], circle[3]);
            zeros += (orientation == 0) + (inCircle == 0);
            SCOPED_TRACE(::testing::Message() << hard.name << " sample " << sample);
            ASSERT_EQ(EdgeAlgebra::WideIntegerSign::orientation(line[0].x, line[0].y, line[1].x,
                                                                line[1].y, line[2].x, line[2].y),
                      orientation);
            ASSERT_EQ(EdgeAlgebra::WideIntegerSign::inCircle(circle[0].x, circle[0].y, circle[1].x,
                                                             circle[1].y, circle[2].x, circle[2].y,
                                                             circle[3].x, circle[3].y),
                      inCircle);
            // The circle's first two points seen from its centre: nearly, or
            // exactly, equally far.
            const PointD centre = place({0.0, 0.0});
            const int nearer = exactDistanceOrder(centre, circle[0], circle[1]);
            ASSERT_EQ(EdgeAlgebra::WideIntegerSign::distanceOrder(
                          centre.x, centre.y, circle[0].x, circle[0].y, circle[1].x, circle[1].y),
                      nearer);
            ASSERT_EQ(EdgeAlgebra::DistanceOrder::exactCompare(
                          centre.x, centre.y, circle[0].x, circle[0].y, circle[1].x, circle[1].y),
                      nearer);
            if (hard.asFloat) {
                auto f = [](double v) { return static_cast<float>(v); };
                ASSERT_EQ(EdgeAlgebra::ExactSign::orientation(f(line[0].x), f(line[0].y),
                                                              f(line[1].x), f(line[1].y),
                                                              f(line[2].x), f(line[2].y)),
                          orientation);
                ASSERT_EQ(EdgeAlgebra::ExactSign::inCircle(
                              f(circle[0].x), f(circle[0].y), f(circle[1].x), f(circle[1].y),
                              f(circle[2].x), f(circle[2].y), f(circle[3].x), f(circle[3].y)),
                          inCircle);
            } else {
                ASSERT_EQ(EdgeAlgebra::ExactSign::orientation(line[0].x, line[0].y, line[1].x,
                                                              line[1].y, line[2].x, line[2].y),
                          orientation);
                ASSERT_EQ(EdgeAlgebra::ExactSign::inCircle(circle[0].x, circle[0].y, circle[1].x,
                                                           circle[1].y, circle[2].x, circle[2].y,
                                                           circle[3].x, circle[3].y),
                          inCircle);
            }
        }
        if (hard.lowScale == hard.highScale) {
            EXPECT_GT(zeros, 0) << hard.name << ": no exactly degenerate sample";
        }
    }
}

} // namespace
