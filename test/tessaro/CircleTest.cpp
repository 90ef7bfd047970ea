#include "scene/Circle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace DelaunayTest {
namespace {

const float inf = std::numeric_limits<float>::infinity();
const float nan = std::numeric_limits<float>::quiet_NaN();

struct CircleCase {
    std::string name;
    Point p1, p2, p3;
    float cx, cy, radius;
};

// Equal as floats, with NaN equal to NaN and the sign of a zero significant.
::testing::AssertionResult sameFloat(float actual, float expected) {
    if (std::isnan(expected)
            ? std::isnan(actual)
            : actual == expected && std::signbit(actual) == std::signbit(expected)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << actual << " instead of " << expected;
}

TEST(CircleThroughThreePoints, KnownCircles) {
    const float root2 = 1.4142135f;
    const CircleCase cases[] = {
        {"right triangle", {0, 0}, {4, 0}, {0, 3}, 2.0f, 1.5f, 2.5f},
        {"right triangle, other order", {0, 0}, {0, 3}, {4, 0}, 2.0f, 1.5f, 2.5f},
        {"D0 4, Dx 8, Dy -8, Dr 0", {0, 0}, {2, 0}, {0, 2}, 1.0f, 1.0f, root2},
        {"D0 4, Dx 16, Dy -16, Dr -24", {1, 1}, {3, 1}, {1, 3}, 2.0f, 2.0f, root2},
        {"zero Dy scaled to a negative zero", {-1, 0}, {1, 0}, {0, 1}, 0.0f, -0.0f, 1.0f},
        {"collinear", {0, 0}, {1, 1}, {2, 2}, -inf, inf, nan},
        {"three identical points", {1, 2}, {1, 2}, {1, 2}, nan, nan, nan},
        {"first and last coincide", {0, 0}, {3, 0}, {0, 0}, nan, nan, nan},
        // Dx and Dy are each rounded to float before the division; an optimiser
        // that keeps them in double gives the radius 14.6468935 here.
        {"determinants rounded to float",
         {-999.90125f, -446.21875f},
         {-997.65094f, -459.0367f},
         {-997.3472f, -451.99054f},
         -1011.69885f,
         -454.8992f,
         14.6511087f},
    };
    for (const CircleCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Circle circle(c.p1, c.p2, c.p3);
        EXPECT_TRUE(sameFloat(circle.center.x, c.cx));
        EXPECT_TRUE(sameFloat(circle.center.y, c.cy));
        EXPECT_TRUE(sameFloat(circle.radius, c.radius));
    }
}

// Any order of the three points, clockwise or counterclockwise, gives the
// same circle up to rounding, and it passes through all three.
TEST(CircleThroughThreePoints, OrderDoesNotMatter) {
    const Point p[] = {{-3.25f, 1.5f}, {2.75f, -0.125f}, {0.5f, 3.875f}};
    const Circle reference(p[0], p[1], p[2]);
    const int orders[][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    for (const auto& o : orders) {
        const Circle circle(p[o[0]], p[o[1]], p[o[2]]);
        EXPECT_NEAR(circle.center.x, reference.center.x, 1e-5);
        EXPECT_NEAR(circle.center.y, reference.center.y, 1e-5);
        EXPECT_NEAR(circle.radius, reference.radius, 1e-5);
        for (const Point& q : p) {
            EXPECT_NEAR(std::hypot(q.x - circle.center.x, q.y - circle.center.y), circle.radius,
                        1e-5);
        }
    }
}

} // namespace
} // namespace DelaunayTest
