// The real program in a real window, used as a person uses it: it is started
// with its clock held still (so its sites are known), looked at through
// screenshots, and driven through its pop-up menu with real clicks.
#include "app_process.h"
#include "expected_scene.h"
#include "label_metrics.h"
#include "picture_check.h"
#include "popup_menu.h"
#include "view_projection.h"
#include "wait_until.h"
#include "x_display.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>

namespace e2e {
namespace {

const char* const kTitle = "Delaunay Tessaro Test";
// Where the menu is opened: inside the window, with room for the menu.
constexpr int kMenuX = 400;
constexpr int kMenuY = 300;

// When set, the tests write the pictures shown in the README there.
std::optional<std::string> screenshotDirectory() {
    const char* directory = std::getenv("TESSARO_SCREENSHOT_DIR");
    if (directory == nullptr || *directory == '\0') {
        return std::nullopt;
    }
    return std::string(directory);
}

// One connection for the whole run: it also keeps the X server from resetting
// between two tests, when the program of one has gone and the next has not
// connected yet.
XDisplay& display() {
    static XDisplay connection;
    return connection;
}

class TessaroWindow : public ::testing::Test {
protected:
    void start(unsigned seed) {
        m_expected.emplace(seed);
        m_app = startApp(TESSARO_EXECUTABLE, E2E_FIXED_TIME_LIBRARY, static_cast<long>(seed));
        std::optional<WindowId> found;
        waitUntil([&] {
            found = m_display.findTopLevelByTitle(kTitle);
            return found.has_value() || !m_app->running();
        });
        ASSERT_TRUE(m_app->running()) << "the program ended at start";
        ASSERT_TRUE(found) << "no window titled \"" << kTitle << "\" appeared";
        m_window = *found;
    }

    Image screenshot() { return m_display.captureScreen({0, 0, kWindowWidth, kWindowHeight}); }

    // Waits until the window shows what the expected scene says; a new frame
    // is needed for that after a menu has closed, since the menu's pixels are
    // not part of any expected picture.
    void expectPicture(const std::string& when) {
        const ExpectedPicture picture = m_expected->picture();
        std::vector<std::string> differences;
        Image shown;
        const bool matched = waitUntil([&] {
            shown = screenshot();
            differences = pictureDifferences(shown, picture);
            return differences.empty();
        });
        if (!matched) {
            std::string text;
            for (const std::string& difference : differences) {
                text += "\n  " + difference;
            }
            ADD_FAILURE() << when << ": the window does not show the expected picture ("
                          << keepForInspection(shown) << "):" << text;
        }
    }

    void choose(MenuCommand command) {
        PopupMenu menu(m_display);
        const std::optional<MenuLayout> layout = menu.open(kMenuX, kMenuY);
        if (!layout) {
            FAIL() << "the right button opened no menu (" << keepForInspection(screenshot()) << ", "
                   << m_display.viewableTopLevels().size() << " windows shown)";
        }
        ASSERT_NO_FATAL_FAILURE(expectTheFiveEntries(*layout));
        ASSERT_TRUE(menu.choose(*layout, menuPosition(command)))
            << "could not choose \"" << labelOf(command) << "\"";
        m_expected->apply(command);
    }

    // Five entries, each with a label as wide as the one expected in its
    // place. The glyphs' side bearings make the ink a few pixels narrower
    // than the label's advance width.
    static void expectTheFiveEntries(const MenuLayout& layout) {
        ASSERT_EQ(layout.entryCount, kMenuEntryCount)
            << "entries of " << layout.entryHeight << " pixels in a menu " << layout.window.height
            << " high";
        for (int position = 0; position < kMenuEntryCount; ++position) {
            const char* label = labelOf(static_cast<MenuCommand>(position));
            const int expected = menuLabelWidth(label);
            const int ink = layout.labelInkWidths[static_cast<std::size_t>(position)];
            EXPECT_LE(ink, expected) << "entry " << position << " should read \"" << label << "\"";
            EXPECT_GE(ink, expected - 5)
                << "entry " << position << " should read \"" << label << "\"";
        }
    }

    void saveScreenshot(const std::string& name) {
        if (const auto directory = screenshotDirectory()) {
            screenshot().writePng(*directory + "/" + name);
        }
    }

    // Saves the picture of a failure beside the test's output and says where.
    std::string keepForInspection(const Image& shown) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string file = std::string("e2e-failure-") + info->test_suite_name() + "-" +
                           info->name() + "-" + std::to_string(++m_failures) + ".png";
        for (char& c : file) {
            c = c == '/' ? '_' : c;
        }
        try {
            shown.writePng(file);
        } catch (const std::exception& error) {
            return std::string("screenshot not saved: ") + error.what();
        }
        return "screenshot saved as " + file;
    }

    XDisplay& m_display = display();
    std::optional<ExpectedScene> m_expected;
    std::unique_ptr<TestSupport::ChildProcess> m_app;
    WindowId m_window = 0;
    int m_failures = 0;
};

TEST_F(TessaroWindow, OpensAtTheTopLeftAndShowsTheFiveSitesOfItsSeed) {
    ASSERT_NO_FATAL_FAILURE(start(findSeed(1700000000, {})));
    const Rect geometry = m_display.geometryOf(m_window);
    EXPECT_EQ(geometry.x, 0);
    EXPECT_EQ(geometry.y, 0);
    EXPECT_EQ(geometry.width, kWindowWidth);
    EXPECT_EQ(geometry.height, kWindowHeight);
    ASSERT_EQ(m_expected->sites().size(), 5u);
    expectPicture("at start");
    // The clear colour (0.5, 0.5, 0.7) in 8-bit channels, seen in the corners.
    const Image shown = screenshot();
    for (const auto& [col, row] : {std::pair{0, 0}, {799, 0}, {0, 599}, {799, 599}}) {
        const Rgb corner = shown.at(col, row);
        EXPECT_NEAR(corner.r, 128, 1) << "at " << col << ", " << row;
        EXPECT_NEAR(corner.g, 128, 1) << "at " << col << ", " << row;
        EXPECT_NEAR(corner.b, 178, 1) << "at " << col << ", " << row;
    }
    saveScreenshot("tessaro-start.png");
}

TEST_F(TessaroWindow, ClosingTheWindowEndsTheProgramWithStatusZero) {
    ASSERT_NO_FATAL_FAILURE(start(findSeed(1700001000, {})));
    expectPicture("at start");
    m_display.requestClose(m_window);
    const std::optional<int> status = m_app->waitForExit(kDefaultTimeout);
    ASSERT_TRUE(status) << "the program still runs after its window was closed";
    EXPECT_EQ(*status, 0) << "(128 + n: ended by signal n)";
}

struct Scenario {
    const char* name;
    unsigned firstSeed;
    std::vector<MenuCommand> commands;
    FinalSites finalSites = FinalSites::Any;
    // Written at the end when screenshots are asked for; empty for none.
    const char* screenshot = "";
};

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

class TessaroMenu : public TessaroWindow, public ::testing::WithParamInterface<Scenario> {};

// After every command the whole picture is compared: the sites (the first
// ones unchanged after an addition, the same ones back after a removal,
// five new ones after a reset), the red edges and the blue circles.
TEST_P(TessaroMenu, EveryStepShowsTheExpectedPicture) {
    const Scenario& scenario = GetParam();
    ASSERT_NO_FATAL_FAILURE(
        start(findSeed(scenario.firstSeed, scenario.commands, scenario.finalSites)));
    expectPicture("at start");
    int step = 0;
    for (MenuCommand command : scenario.commands) {
        ASSERT_NO_FATAL_FAILURE(choose(command));
        expectPicture("step " + std::to_string(++step) + ", after \"" + labelOf(command) + "\"");
        if (HasFailure()) {
            return;
        }
    }
    if (*scenario.screenshot != '\0') {
        saveScreenshot(scenario.screenshot);
    }
}

using C = MenuCommand;

const Scenario kEditingScenarios[] = {
    {"AddThenRemoveGivesBackTheSameSites", 1700002000, {C::AddSites, C::RemoveSites}},
    {"ResetGivesFiveNewSites", 1700003000, {C::Reset, C::Reset}},
    {"CirclesShowNothingBeforeTriangulation", 1700004000, {C::EnableCircles, C::EnableCircles}},
    {"SiteCountStaysBetweenFiveAndThirty",
     1700005000,
     {C::RemoveSites, C::AddSites, C::AddSites, C::AddSites, C::AddSites, C::AddSites, C::AddSites,
      C::RemoveSites}},
};

const Scenario kTriangulationScenarios[] = {
    {"TriangulateDrawsTheDelaunayEdges", 1700010000, {C::Triangulate}},
    // The circle through the three hull sites would contain the other sites.
    {"NoCircleForTheOuterFaceOfATriangularHull",
     1700016000,
     {C::Triangulate, C::EnableCircles},
     FinalSites::TriangularHull},
    {"CirclesToggleAfterTriangulation",
     1700011000,
     {C::Triangulate, C::EnableCircles, C::EnableCircles, C::EnableCircles}},
    {"AddAndRemoveChangeNothingOnceTriangulated",
     1700012000,
     {C::AddSites, C::Triangulate, C::AddSites, C::RemoveSites, C::Triangulate}},
    {"ResetClearsEdgesAndCircles",
     1700013000,
     {C::Triangulate, C::EnableCircles, C::Reset, C::Triangulate}},
    {"CirclesEnabledBeforeTriangulateAppearWithIt",
     1700014000,
     {C::AddSites, C::AddSites, C::EnableCircles, C::Triangulate},
     FinalSites::Any,
     "tessaro-triangulated.png"},
    {"ThirtySites",
     1700015000,
     {C::AddSites, C::AddSites, C::AddSites, C::AddSites, C::AddSites, C::Triangulate,
      C::EnableCircles}},
};

std::string scenarioName(const ::testing::TestParamInfo<Scenario>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Editing, TessaroMenu, ::testing::ValuesIn(kEditingScenarios),
                         scenarioName);
INSTANTIATE_TEST_SUITE_P(Triangulated, TessaroMenu, ::testing::ValuesIn(kTriangulationScenarios),
                         scenarioName);

} // namespace
} // namespace e2e
