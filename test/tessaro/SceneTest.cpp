#include "SceneTestSupport.h"

#include <cmath>
#include <ctime>
#include <functional>
#include <string>

namespace DelaunayTest {
namespace {

const unsigned seed = 20261207u;

std::vector<Point> concat(std::vector<Point> a, const std::vector<Point>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(SceneSites, SeededSceneGeneratesThePredictableSequence) {
    Scene scene(seed);
    EXPECT_EQ(scene.getPoints(), expectedSites(seed, 0, 5));
    scene.addSites();
    EXPECT_EQ(scene.getPoints(), expectedSites(seed, 0, 10));
    // Reset continues the sequence; it does not reseed.
    scene.reset();
    EXPECT_EQ(scene.getPoints(), expectedSites(seed, 10, 5));
}

TEST(SceneSites, DefaultSceneIsSeededFromTheClock) {
    const auto before = static_cast<unsigned>(std::time(nullptr));
    Scene scene;
    const auto after = static_cast<unsigned>(std::time(nullptr));
    const auto& points = scene.getPoints();
    EXPECT_TRUE(points == expectedSites(before, 0, 5) || points == expectedSites(after, 0, 5));
}

TEST(SceneSites, CoordinatesAreMultiplesOfOne4096thInsideTheSquare) {
    for (unsigned s : {0u, 1u, 42u, seed, 4294967295u}) {
        Scene scene(s);
        for (int i = 0; i < 5; ++i) {
            scene.addSites();
        }
        for (int round = 0; round < 20; ++round) {
            ASSERT_EQ(scene.getPoints().size(), 30u);
            for (const Point& p : scene.getPoints()) {
                for (float c : {p.x, p.y}) {
                    EXPECT_GE(c, -4.0f);
                    EXPECT_LT(c, 4.0f);
                    const double steps = (static_cast<double>(c) + 4.0) * 4096.0;
                    EXPECT_EQ(steps, std::floor(steps)) << c;
                }
            }
            scene.removeSites();
            scene.addSites();
        }
    }
}

TEST(SceneSites, GivenSitesAreKeptExactly) {
    const std::vector<Point> sites = {{0, 0}, {1, 0}, {0, 1}};
    Scene scene(sites, seed);
    EXPECT_EQ(scene.getPoints(), sites);
    EXPECT_FALSE(scene.isTriangulated());
    EXPECT_FALSE(scene.isCirclesEnabled());
    EXPECT_TRUE(scene.getLines().empty());
    EXPECT_TRUE(scene.getCircles().empty());
    scene.addSites();
    EXPECT_EQ(scene.getPoints(), concat(sites, expectedSites(seed, 0, 5)));
}

TEST(SceneLimits, AddingStopsAtThirtyAndRemovingAtFive) {
    Scene scene(seed);
    for (std::size_t expected : {10u, 15u, 20u, 25u, 30u}) {
        scene.addSites();
        EXPECT_EQ(scene.getPoints().size(), expected);
    }
    const SceneSnapshot full(scene);
    scene.addSites();
    EXPECT_EQ(SceneSnapshot(scene), full);

    for (std::size_t expected : {25u, 20u, 15u, 10u, 5u}) {
        scene.removeSites();
        EXPECT_EQ(scene.getPoints().size(), expected);
    }
    const SceneSnapshot minimal(scene);
    scene.removeSites();
    EXPECT_EQ(SceneSnapshot(scene), minimal);
    EXPECT_EQ(scene.getPoints(), expectedSites(seed, 0, 5));
}

TEST(SceneLimits, AddThenRemoveRestoresTheSitesInOrder) {
    Scene scene(seed);
    for (int count = 5; count < 30; count += 5) {
        const std::vector<Point> before = scene.getPoints();
        scene.addSites();
        ASSERT_EQ(scene.getPoints().size(), before.size() + 5);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), scene.getPoints().begin()));
        scene.removeSites();
        EXPECT_EQ(scene.getPoints(), before);
        // Grow for the next round; these sites come later in the sequence.
        scene.addSites();
    }
}

TEST(SceneStates, TriangulatedSceneFreezesItsSitesUntilReset) {
    Scene scene(seed);
    scene.addSites();
    scene.triangulate();
    ASSERT_TRUE(scene.isTriangulated());
    const SceneSnapshot triangulated(scene);

    scene.addSites();
    EXPECT_EQ(SceneSnapshot(scene), triangulated);
    scene.removeSites();
    EXPECT_EQ(SceneSnapshot(scene), triangulated);
    scene.triangulate();
    EXPECT_EQ(SceneSnapshot(scene), triangulated);

    scene.reset();
    EXPECT_FALSE(scene.isTriangulated());
    scene.addSites();
    EXPECT_EQ(scene.getPoints().size(), 10u);
    scene.triangulate();
    EXPECT_TRUE(scene.isTriangulated());
}

struct NamedSetup {
    std::string name;
    std::function<void(Scene&)> apply;
};

// Every reachable combination of state, site count and circles flag.
std::vector<NamedSetup> everyState() {
    return {
        {"fresh", [](Scene&) {}},
        {"thirty sites",
         [](Scene& s) {
             for (int i = 0; i < 5; ++i)
                 s.addSites();
         }},
        {"circles on", [](Scene& s) { s.toggleCircles(); }},
        {"triangulated", [](Scene& s) { s.triangulate(); }},
        {"triangulated, circles on",
         [](Scene& s) {
             s.toggleCircles();
             s.addSites();
             s.triangulate();
         }},
    };
}

TEST(SceneStates, ResetWorksFromEveryState) {
    for (const NamedSetup& setup : everyState()) {
        SCOPED_TRACE(setup.name);
        Scene scene(seed);
        setup.apply(scene);
        // The set-ups only append, so every site drawn so far is still there.
        const int drawn = static_cast<int>(scene.getPoints().size());
        scene.reset();
        EXPECT_EQ(scene.getPoints(), expectedSites(seed, drawn, 5));
        EXPECT_TRUE(scene.getLines().empty());
        EXPECT_TRUE(scene.getCircles().empty());
        EXPECT_FALSE(scene.isTriangulated());
        EXPECT_FALSE(scene.isCirclesEnabled());
    }
}

TEST(SceneStates, ToggleFlipsOnlyTheCirclesFlagInEveryState) {
    for (const NamedSetup& setup : everyState()) {
        SCOPED_TRACE(setup.name);
        Scene scene(seed);
        setup.apply(scene);
        SceneSnapshot expected(scene);
        expected.circlesEnabled = !expected.circlesEnabled;
        scene.toggleCircles();
        EXPECT_EQ(SceneSnapshot(scene), expected);
        expected.circlesEnabled = !expected.circlesEnabled;
        scene.toggleCircles();
        EXPECT_EQ(SceneSnapshot(scene), expected);
    }
}

} // namespace
} // namespace DelaunayTest
