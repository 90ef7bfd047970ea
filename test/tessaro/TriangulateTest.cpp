#include "SceneTestSupport.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <tuple>
#include <utility>

namespace DelaunayTest {
namespace {

const unsigned seed = 7u;

using Segment = std::pair<std::pair<float, float>, std::pair<float, float>>;

// The scene's lines as undirected segments, sorted.
std::vector<Segment> segmentsOf(const Scene& scene) {
    std::vector<Segment> segments;
    for (const Line& line : scene.getLines()) {
        auto a = std::make_pair(line.start.x, line.start.y);
        auto b = std::make_pair(line.end.x, line.end.y);
        segments.emplace_back(std::min(a, b), std::max(a, b));
    }
    std::sort(segments.begin(), segments.end());
    return segments;
}

Scene triangulated(const std::vector<Point>& points) {
    Scene scene(points, seed);
    scene.triangulate();
    return scene;
}

double distance(const Point& a, const Point& b) {
    return std::hypot(static_cast<double>(a.x) - b.x, static_cast<double>(a.y) - b.y);
}

// Every circle passes through at least three sites (its triangle's) and has
// no site strictly inside: the triangulation is Delaunay and every circle
// belongs to one of its triangles.
void expectEmptyCircumcircles(const Scene& scene) {
    for (const Circle& circle : scene.getCircles()) {
        ASSERT_TRUE(std::isfinite(circle.radius));
        const double tolerance = 1e-4 * (1.0 + circle.radius);
        int onCircle = 0;
        for (const Point& site : scene.getPoints()) {
            const double d = distance(site, circle.center);
            EXPECT_GE(d, circle.radius - tolerance) << "site inside a circumcircle";
            onCircle += std::abs(d - circle.radius) <= tolerance ? 1 : 0;
        }
        EXPECT_GE(onCircle, 3);
    }
}

struct KnownSites {
    std::string name;
    std::vector<Point> points;
    std::size_t lines;
    std::size_t circles;
};

TEST(Triangulate, LinesAndCirclesOfKnownSites) {
    const KnownSites cases[] = {
        {"five in convex position", {{0, 0}, {4, 0}, {5, 3}, {2, 5}, {-1, 3}}, 7, 9},
        {"four on the hull", {{0, 0}, {5, 0}, {6, 4}, {-1, 5}, {2, 2}}, 8, 12},
        {"three on the hull", {{0, 0}, {8, 0}, {4, 7}, {3, 2}, {5, 3}}, 9, 15},
        {"three sites", {{0, 0}, {4, 0}, {0, 3}}, 3, 3},
        {"five on a diagonal line", {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}, 4, 0},
        {"five on a horizontal line", {{3, 0}, {0, 0}, {4, 0}, {1, 0}, {2, 0}}, 4, 0},
        {"four on a vertical line", {{0, 3}, {0, 1}, {0, 0}, {0, 2}}, 3, 0},
        {"two sites", {{0, 0}, {1, 0}}, 1, 0},
    };
    for (const KnownSites& c : cases) {
        SCOPED_TRACE(c.name);
        const Scene scene = triangulated(c.points);
        EXPECT_EQ(scene.getLines().size(), c.lines);
        EXPECT_EQ(scene.getCircles().size(), c.circles);
        expectEmptyCircumcircles(scene);
        for (const Line& line : scene.getLines()) {
            const auto& pts = scene.getPoints();
            EXPECT_NE(std::find(pts.begin(), pts.end(), line.start), pts.end());
            EXPECT_NE(std::find(pts.begin(), pts.end(), line.end), pts.end());
        }
    }
}

TEST(Triangulate, ThreeSitesGiveTheirOneCircleThreeTimes) {
    const Scene scene = triangulated({{0, 0}, {4, 0}, {0, 3}});
    ASSERT_EQ(scene.getCircles().size(), 3u);
    for (const Circle& circle : scene.getCircles()) {
        EXPECT_NEAR(circle.center.x, 2.0f, 1e-6);
        EXPECT_NEAR(circle.center.y, 1.5f, 1e-6);
        EXPECT_NEAR(circle.radius, 2.5f, 1e-6);
    }
}

// For any triangulation the bounded faces number E - V + 1 (Euler), each
// triangle listed three times.
TEST(Triangulate, GeneratedScenesOfEverySize) {
    for (unsigned s : {1u, 2u, 3u, 99u}) {
        Scene scene(s);
        for (int count = 5; count <= 30; count += 5) {
            SCOPED_TRACE(::testing::Message() << "seed " << s << ", " << count << " sites");
            Scene copy(scene.getPoints(), s);
            copy.triangulate();
            const std::size_t n = copy.getPoints().size();
            const std::size_t e = copy.getLines().size();
            EXPECT_EQ(copy.getCircles().size(), 3 * (e - n + 1));
            EXPECT_LE(e, 3 * n - 6);
            expectEmptyCircumcircles(copy);
            scene.addSites();
        }
    }
}

bool sameCircle(const Circle& a, const Circle& b) {
    return std::abs(a.center.x - b.center.x) < 1e-4 && std::abs(a.center.y - b.center.y) < 1e-4 &&
           std::abs(a.radius - b.radius) < 1e-4;
}

// Same multiset of circles up to rounding.
::testing::AssertionResult sameCircles(std::vector<Circle> a, std::vector<Circle> b) {
    if (a.size() != b.size()) {
        return ::testing::AssertionFailure() << a.size() << " vs " << b.size() << " circles";
    }
    for (const Circle& c : a) {
        auto match =
            std::find_if(b.begin(), b.end(), [&](const Circle& d) { return sameCircle(c, d); });
        if (match == b.end()) {
            return ::testing::AssertionFailure()
                   << "no match for circle at (" << c.center.x << ", " << c.center.y << ")";
        }
        b.erase(match);
    }
    return ::testing::AssertionSuccess();
}

TEST(Triangulate, OrderOfTheSitesDoesNotMatter) {
    Scene generated(seed);
    for (int i = 0; i < 3; ++i) {
        generated.addSites();
    }
    const std::vector<Point> original = generated.getPoints();
    const Scene reference = triangulated(original);
    std::mt19937 shuffler(12345u);
    for (int round = 0; round < 5; ++round) {
        std::vector<Point> shuffled = original;
        std::shuffle(shuffled.begin(), shuffled.end(), shuffler);
        const Scene scene = triangulated(shuffled);
        EXPECT_EQ(segmentsOf(scene), segmentsOf(reference));
        EXPECT_TRUE(sameCircles(scene.getCircles(), reference.getCircles()));
    }
}

TEST(Triangulate, LeavesTheSitesAsTheyWereAndRunsOncePerSiteSet) {
    Scene scene(seed);
    for (int i = 0; i < 5; ++i) {
        scene.addSites();
    }
    const std::vector<Point> before = scene.getPoints();
    scene.toggleCircles();
    scene.triangulate();
    EXPECT_EQ(scene.getPoints(), before);
    EXPECT_TRUE(scene.isCirclesEnabled());
    const std::vector<Segment> segments = segmentsOf(scene);
    const std::size_t circles = scene.getCircles().size();
    ASSERT_FALSE(segments.empty());

    scene.triangulate();
    EXPECT_EQ(segmentsOf(scene), segments);
    EXPECT_EQ(scene.getCircles().size(), circles);

    scene.reset();
    EXPECT_TRUE(scene.getLines().empty());
    EXPECT_TRUE(scene.getCircles().empty());
    scene.triangulate();
    EXPECT_EQ(scene.getLines().size() > 0, true);
}

} // namespace
} // namespace DelaunayTest
