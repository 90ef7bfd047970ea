// The window wrapper with a real GLUT window under Xvfb. Each case runs in a
// child process: the wrapper's constructor enters GLUT's main loop and only a
// closed window ends it, with status 0.
#include "CloseWindow.h"
#include "window/window.h"

#include <GL/glut.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

const int width = 320;
const int height = 240;

[[noreturn]] void fail(const char* why) {
    std::fprintf(stderr, "window check failed: %s\n", why);
    std::_Exit(1);
}

struct MenuExpectation {
    bool hasMenu;
    int items;
};

// Checks the order of the wrapper's calls, then closes the window once the
// idle redraw has produced a few frames on its own.
class ClosingRunner : public GlutWrapper::IRunner {
public:
    explicit ClosingRunner(MenuExpectation menu) : m_menu(menu) {}

    void init(int w, int h) override {
        if (m_inits != 0 || m_displays != 0) {
            fail("init not first or called twice");
        }
        if (w != width || h != height) {
            fail("init not given the requested size");
        }
        ++m_inits;
    }

    void display() override {
        if (m_inits != 1) {
            fail("display before init");
        }
        if (m_displays == 0) {
            checkMenu();
        }
        if (++m_displays == 3) {
            requestCloseOfCurrentWindow();
        }
    }

    void reshape(int, int) override {
        if (m_inits != 1) {
            fail("reshape before init");
        }
    }

private:
    void checkMenu() const {
        const int menu = glutGetMenu();
        if ((menu != 0) != m_menu.hasMenu) {
            fail(m_menu.hasMenu ? "menu missing" : "unexpected menu");
        }
        if (menu != 0 && glutGet(GLUT_MENU_NUM_ITEMS) != m_menu.items) {
            fail("wrong number of menu entries");
        }
    }

    MenuExpectation m_menu;
    int m_inits = 0;
    int m_displays = 0;
};

class NullListener : public GlutWrapper::IMenuListener {
public:
    void onMenuEntry(int) override {}
};

void runWindow(const std::vector<GlutWrapper::MenuEntry>& entries, bool withListener,
               MenuExpectation menu) {
    alarm(20); // a window that never closes fails instead of hanging
    ClosingRunner runner(menu);
    NullListener listener;
    char name[] = "tessaro_window_gl_tests";
    char* argv[] = {name, nullptr};
    GlutWrapper::Window window(1, argv, 0, 0, width, height, "window test", &runner, entries,
                               withListener ? &listener : nullptr, true);
    fail("main loop returned");
}

struct WindowCase {
    const char* name;
    std::vector<GlutWrapper::MenuEntry> entries;
    bool withListener;
    MenuExpectation menu;
};

TEST(WindowGl, ClosingTheWindowEndsTheProcessWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::vector<GlutWrapper::MenuEntry> three = {{"a", 7}, {"b", 7}, {"c", -1}};
    const WindowCase cases[] = {
        {"menu of three", three, true, {true, 3}},
        {"listener without entries", {}, true, {true, 0}},
        {"entries without listener", three, false, {false, 0}},
    };
    for (const WindowCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(runWindow(c.entries, c.withListener, c.menu), ::testing::ExitedWithCode(0), "");
    }
}

} // namespace
