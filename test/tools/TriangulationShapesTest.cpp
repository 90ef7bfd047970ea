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

using DelaunayTest::Point;
using TessaroTools::Precision;
using TessaroTools::TriangulationShapes;
using namespace ToolTest;

TriangulationShapes triangulateSites(const std::vector<Point>& sites,
                                     Precision precision = Precision::Float) {
    return TessaroTools::triangulateSites(siteInput(sites), precision);
}

class KnownSites : public ::testing::TestWithParam<SiteCase> {};

// The sites are small integers: both precisions give the same triangulation.
TEST_P(KnownSites, EdgesAndTrianglesAreTheDelaunayOnes) {
    const SiteCase& siteCase = GetParam();
    for (const Precision precision : {Precision::Float, Precision::Double}) {
        const TriangulationShapes shapes = triangulateSites(siteCase.sites, precision);
        std::multiset<EdgeKey> edges;
        for (const TessaroTools::Edge& edge : shapes.edges) {
            edges.insert(edgeKey(siteOf(shapes, edge.from), siteOf(shapes, edge.to)));
            EXPECT_FALSE(edge.segment);
        }
        EXPECT_EQ(edges.size(), siteCase.edgeCount);
        EXPECT_EQ(edges, expectedEdges(siteCase));

        std::multiset<TriangleKey> triangles;
        for (const TessaroTools::Triangle& t : shapes.triangles) {
            const Point a = siteOf(shapes, t[0]), b = siteOf(shapes, t[1]),
                        c = siteOf(shapes, t[2]);
            EXPECT_GT(orientation(a, b, c), 0.0) << "triangle not counterclockwise";
            triangles.insert(triangleKey(a, b, c));
        }
        EXPECT_EQ(triangles.size(), siteCase.triangleCount);
        EXPECT_EQ(triangles, bruteForceTriangles(siteCase.sites));
    }
}

// Each corner at the radius's distance from the centre, to within `tolerance`.
void expectCirclesThroughCorners(const TriangulationShapes& shapes, double tolerance) {
    ASSERT_EQ(shapes.circles.size(), shapes.triangles.size());
    for (std::size_t i = 0; i < shapes.triangles.size(); ++i) {
        const TessaroTools::Circle& circle = shapes.circles[i];
        for (const std::uint32_t corner : shapes.triangles[i]) {
            const double distance = std::hypot(shapes.sites[corner].x - circle.center.x,
                                               shapes.sites[corner].y - circle.center.y);
            EXPECT_NEAR(distance, circle.radius, tolerance);
        }
    }
}

TEST_P(KnownSites, EachCircleRunsThroughTheCornersOfItsTriangle) {
    // Float rounding for the program's circles, the last bits for those in
    // double precision (the radii are below 10).
    expectCirclesThroughCorners(triangulateSites(GetParam().sites), 1e-4);
    expectCirclesThroughCorners(triangulateSites(GetParam().sites, Precision::Double), 1e-13);
}

INSTANTIATE_TEST_SUITE_P(SiteCases, KnownSites, ::testing::ValuesIn(knownSiteCases()),
                         [](const auto& info) { return info.param.name; });

// Survey coordinates with centimetre spacing: in double precision every site
// keeps its place and the circles pass through the corners to a few
// nanometres (the rounding of a double near 4.5e6), where a circle computed
// from the squares of the coordinates would be off by millimetres or more.
TEST(SurveyCoordinates, KeepTheirPlacesInDoublePrecision) {
    std::mt19937 engine(5);
    std::uniform_int_distribution<int> centimetres(0, 500);
    TessaroTools::PlanarInput input;
    for (int i = 0; i < 60; ++i) {
        input.coords.push_back(500000.0 + centimetres(engine) / 100.0);
        input.coords.push_back(4500000.0 + centimetres(engine) / 100.0);
    }
    const TriangulationShapes shapes = TessaroTools::triangulateSites(input, Precision::Double);
    EXPECT_EQ(shapes.sites.size(), 60u);
    expectCirclesThroughCorners(shapes, 3e-9);
}

// The scene appends each triangle's circle three times, computed from three
// corner orders; the command keeps one of them.
void expectSameAsScene(const std::vector<Point>& sites) {
    DelaunayTest::Scene scene(sites, 1u);
    scene.triangulate();
    const TriangulationShapes shapes = triangulateSites(sites);

    // Directed: start and end as the program has them.
    std::multiset<EdgeKey> sceneLines, ourLines;
    for (const DelaunayTest::Line& line : scene.getLines()) {
        sceneLines.insert({{line.start.x, line.start.y}, {line.end.x, line.end.y}});
    }
    for (const TessaroTools::Edge& edge : shapes.edges) {
        const Point from = siteOf(shapes, edge.from), to = siteOf(shapes, edge.to);
        ourLines.insert({{from.x, from.y}, {to.x, to.y}});
    }
    EXPECT_EQ(ourLines, sceneLines) << "same directed segments as the program draws";

    const std::vector<DelaunayTest::Circle>& sceneCircles = scene.getCircles();
    EXPECT_EQ(sceneCircles.size(), 3 * shapes.circles.size());
    for (const TessaroTools::Circle& ours : shapes.circles) {
        std::size_t copies = 0, exact = 0;
        for (const DelaunayTest::Circle& theirs : sceneCircles) {
            const double tolerance = 1e-5 * std::max(1.0, ours.radius);
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
    const TriangulationShapes shapes = triangulateSites(sites);
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
