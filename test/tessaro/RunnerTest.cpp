#include "SceneTestSupport.h"
#include "app/DelaunayTestRunner.h"
#include "window/window.h"

#include <climits>
#include <string>
#include <vector>

namespace DelaunayTest {
namespace {

TEST(Runner, OffersTheFiveMenuEntriesInOrder) {
    DelaunayTestRunner runner;
    const std::vector<std::pair<std::string, int>> expected = {{"Triangulate", 0},
                                                               {"Reset", 1},
                                                               {"Enable Circles", 2},
                                                               {"Add Sites (+5)", 3},
                                                               {"Remove Sites (-5)", 4}};
    const auto& entries = runner.getMenuEntries();
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(entries[i].label, expected[i].first);
        EXPECT_EQ(entries[i].id, expected[i].second);
    }
}

TEST(Runner, EveryMenuIdReachesItsCommand) {
    DelaunayTestRunner runner;
    const Scene& scene = runner.getScene();
    const std::vector<Point> first = scene.getPoints();

    runner.onMenuEntry(3); // Add Sites (+5)
    ASSERT_EQ(scene.getPoints().size(), 10u);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), scene.getPoints().begin()));

    runner.onMenuEntry(4); // Remove Sites (-5)
    EXPECT_EQ(scene.getPoints(), first);

    runner.onMenuEntry(2); // Enable Circles
    EXPECT_TRUE(scene.isCirclesEnabled());
    EXPECT_FALSE(scene.isTriangulated());

    runner.onMenuEntry(0); // Triangulate
    EXPECT_TRUE(scene.isTriangulated());
    EXPECT_EQ(scene.getPoints(), first);

    runner.onMenuEntry(1); // Reset
    EXPECT_FALSE(scene.isTriangulated());
    EXPECT_FALSE(scene.isCirclesEnabled());
    EXPECT_EQ(scene.getPoints().size(), 5u);
    EXPECT_NE(scene.getPoints(), first);
}

TEST(Runner, OtherIdsChangeNothing) {
    DelaunayTestRunner runner;
    const Scene& scene = runner.getScene();
    for (bool triangulated : {false, true}) {
        if (triangulated) {
            runner.onMenuEntry(2);
            runner.onMenuEntry(0);
        }
        const SceneSnapshot before(scene);
        for (int id : {-1, 5, 6, 100, INT_MIN, INT_MAX}) {
            runner.onMenuEntry(id);
            EXPECT_EQ(SceneSnapshot(scene), before) << "id " << id;
        }
    }
}

void openWindowWithoutRunner() {
    const std::vector<GlutWrapper::MenuEntry> noEntries;
    char name[] = "tessaro";
    char* argv[] = {name, nullptr};
    GlutWrapper::Window window(1, argv, 0, 0, 100, 100, "never opened", nullptr, noEntries, nullptr,
                               true);
}

// The assertion fires before GLUT is touched, so no display is needed.
TEST(WindowDeathTest, NullRunnerIsStoppedByItsAssertion) {
    EXPECT_DEATH(openWindowWithoutRunner(), "`runner. failed");
}

} // namespace
} // namespace DelaunayTest
