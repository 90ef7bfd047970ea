// The test's own triangulation is the yardstick for the program's red edges
// and blue circles, so it is checked on site sets whose answer is known.
#include "reference_delaunay.h"

#include <gtest/gtest.h>

#include <cmath>

namespace e2e {
namespace {

struct KnownSet {
    const char* name;
    std::vector<SitePoint> sites;
    std::size_t edges;
    std::size_t triangles;
    std::size_t hull;
};

const KnownSet kKnownSets[] = {
    {"Triangle", {{0, 0}, {1, 0}, {0, 1}}, 3, 1, 3},
    {"FiveConvex", {{0, -2}, {2, -0.5}, {1.5, 2}, {-1, 2.25}, {-2, -0.5}}, 7, 3, 5},
    {"FourOnHull", {{-2, -2}, {2, -2}, {2, 2}, {-2, 1.5}, {0.25, 0.125}}, 8, 4, 4},
    {"ThreeOnHull", {{-3, -2}, {3, -2}, {0, 3}, {0, 0.5}, {0.5, -0.5}}, 9, 5, 3},
};

void PrintTo(const KnownSet& set, std::ostream* out) {
    *out << set.name;
}

class ReferenceDelaunay : public ::testing::TestWithParam<KnownSet> {};

TEST_P(ReferenceDelaunay, CountsAndEmptyCircles) {
    const KnownSet& set = GetParam();
    ASSERT_TRUE(inGeneralPosition(set.sites));
    const ReferenceTriangulation result = triangulateByBruteForce(set.sites);
    EXPECT_EQ(result.edges.size(), set.edges);
    EXPECT_EQ(result.triangles.size(), set.triangles);
    EXPECT_EQ(result.hullSize, set.hull);
    ASSERT_EQ(result.circles.size(), result.triangles.size());
    for (std::size_t t = 0; t < result.triangles.size(); ++t) {
        const ReferenceCircle& circle = result.circles[t];
        for (std::size_t i = 0; i < set.sites.size(); ++i) {
            const double distance =
                std::hypot(set.sites[i].x - circle.center.x, set.sites[i].y - circle.center.y);
            const auto& corners = result.triangles[t];
            const bool corner = i == corners[0] || i == corners[1] || i == corners[2];
            if (corner) {
                EXPECT_NEAR(distance, circle.radius, 1e-9);
            } else {
                EXPECT_GT(distance, circle.radius);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(KnownSets, ReferenceDelaunay, ::testing::ValuesIn(kKnownSets),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReferenceDelaunayGeneralPosition, RejectsDegenerateSets) {
    // Four corners of a square are cocircular: two triangulations are valid.
    EXPECT_FALSE(inGeneralPosition({{0, 0}, {1, 0}, {1, 1}, {0, 1}}));
    EXPECT_FALSE(inGeneralPosition({{0, 0}, {1, 1}, {2, 2}}));
    EXPECT_FALSE(inGeneralPosition({{0.5, 0.5}, {0.5, 0.5}, {1, 0}}));
    EXPECT_TRUE(inGeneralPosition({{0, 0}, {1, 0}, {1, 1}, {0, 1.25}}));
}

TEST(ReferenceDelaunayGeneralPosition, RefusesSitesOffTheGrid) {
    EXPECT_THROW(inGeneralPosition({{0.1, 0}, {1, 0}, {0, 1}}), std::invalid_argument);
}

} // namespace
} // namespace e2e
