// The shapes the command writes, from the core's triangulation: checked
// against a brute-force Delaunay triangulation and against what the
// program's scene builds for the same sites.
#include "TriangulationShapes.h"
#include "ToolTestSupport.h"
#include "scene/Scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using DelaunayTest::Circle;
using DelaunayTest::Point;
using TessaroTools::triangulateSites;
using namespace ToolTest;

class KnownSites : public ::testing::TestWithParam<SiteCase> {};

TEST_P(KnownSites, EdgesAndTrianglesAreTheDelaunayOnes) {
    const SiteCase& siteCase = GetParam();
    const TessaroTools::TriangulationShapes shapes = triangulateSites(siteCase.sites);

    std::multiset<EdgeKey> edges;
    for (const DelaunayTest::Line& line : shapes.edges) {
        edges.insert(edgeKey(line.start, line.end));
    }
    EXPECT_EQ(edges.size(), siteCase.edgeCount);
    EXPECT_EQ(edges, expectedEdges(siteCase));

    std::multiset<TriangleKey> triangles;
    for (const TessaroTools::Triangle& t : shapes.triangles) {
        EXPECT_GT(orientation(t.a, t.b, t.c), 0.0) << "triangle not counterclockwise";
        triangles.insert(triangleKey(t.a, t.b, t.c));
    }
    EXPECT_EQ(triangles.size(), siteCase.triangleCount);
    EXPECT_EQ(triangles, bruteForceTriangles(siteCase.sites));
}

TEST_P(KnownSites, EachCircleRunsThroughTheCornersOfItsTriangle) {
    const TessaroTools::TriangulationShapes shapes = triangulateSites(GetParam().sites);
    ASSERT_EQ(shapes.circles.size(), shapes.triangles.size());
    for (std::size_t i = 0; i < shapes.triangles.size(); ++i) {
        const Circle& circle = shapes.circles[i];
        for (const Point& corner :
             {shapes.triangles[i].a, shapes.triangles[i].b, shapes.triangles[i].c}) {
            const double distance =
                std::hypot(corner.x - circle.center.x, corner.y - circle.center.y);
            EXPECT_NEAR(distance, circle.radius, 1e-5 * circle.radius);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SiteCases, KnownSites, ::testing::ValuesIn(knownSiteCases()),
                         [](const auto& info) { return info.param.name; });

// The scene appends each triangle's circle three times, computed from three
// corner orders; the command keeps one of them.
void expectSameAsScene(const std::vector<Point>& sites) {
    DelaunayTest::Scene scene(sites, 1u);
    scene.triangulate();
    const TessaroTools::TriangulationShapes shapes = triangulateSites(sites);

    // Directed: start and end as the program has them.
    std::multiset<EdgeKey> sceneLines, ourLines;
    for (const DelaunayTest::Line& line : scene.getLines()) {
        sceneLines.insert({{line.start.x, line.start.y}, {line.end.x, line.end.y}});
    }
    for (const DelaunayTest::Line& line : shapes.edges) {
        ourLines.insert({{line.start.x, line.start.y}, {line.end.x, line.end.y}});
    }
    EXPECT_EQ(ourLines, sceneLines) << "same directed segments as the program draws";

    const std::vector<Circle>& sceneCircles = scene.getCircles();
    EXPECT_EQ(sceneCircles.size(), 3 * shapes.circles.size());
    for (const Circle& ours : shapes.circles) {
        std::size_t copies = 0, exact = 0;
        for (const Circle& theirs : sceneCircles) {
            const float tolerance = 1e-5f * std::max(1.0f, ours.radius);
            copies += std::fabs(ours.center.x - theirs.center.x) <= tolerance &&
                      std::fabs(ours.center.y - theirs.center.y) <= tolerance &&
                      std::fabs(ours.radius - theirs.radius) <= tolerance;
            exact += ours.center.x == theirs.center.x && ours.center.y == theirs.center.y &&
                     ours.radius == theirs.radius;
        }
        EXPECT_EQ(copies, 3u) << "circle " << ours.center.x << " " << ours.center.y << " "
                              << ours.radius;
        EXPECT_GE(exact, 1u) << "the kept circle is one of the program's copies, bit for bit";
    }
}

TEST(SameAsScene, KnownSiteCases) {
    for (const SiteCase& siteCase : knownSiteCases()) {
        SCOPED_TRACE(siteCase.name);
        expectSameAsScene(siteCase.sites);
    }
}

TEST(SameAsScene, RandomSitesOfTheProgramsSizes) {
    std::mt19937 engine(7);
    std::uniform_real_distribution<float> coordinate(-4.0f, 4.0f);
    for (int count : {5, 10, 30, 200}) {
        std::vector<Point> sites;
        for (int i = 0; i < count; ++i) {
            sites.emplace_back(coordinate(engine), coordinate(engine));
        }
        SCOPED_TRACE(count);
        expectSameAsScene(sites);
    }
}

TEST(Duplicates, AreTriangulatedOnce) {
    const std::vector<Point> sites{{0, 0}, {4, 0}, {1, 3}, {4, 0}};
    const TessaroTools::TriangulationShapes shapes = triangulateSites(sites);
    EXPECT_EQ(shapes.sites.size(), 3u) << "each position once";
    EXPECT_EQ(shapes.edges.size(), 3u);
    EXPECT_EQ(shapes.triangles.size(), 1u);
    EXPECT_TRUE(triangulateSites({{2, 2}, {2, 2}}).edges.empty());
}

TEST(TooFewSites, AreRefused) {
    EXPECT_THROW(triangulateSites({}), std::invalid_argument);
    EXPECT_THROW(triangulateSites({{1, 1}}), std::invalid_argument);
}

} // namespace
