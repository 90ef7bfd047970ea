// tessaro_memcheck_session: starts the program (under valgrind, for
// `make memcheck`), uses it as a person would through its real pop-up menu,
// closes its window, and exits with the program's own exit status. Each menu
// choice is confirmed on the screen before the next one.
//
//   tessaro_memcheck_session [--step-timeout SECONDS] -- COMMAND [ARG...]
//
// Exit status: the program's, or 3 when a step of the session did not happen
// in time (the program is then ended).
#include "ChildProcess.h"
#include "image.h"
#include "popup_menu.h"
#include "wait_until.h"
#include "x_display.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

enum MenuEntry { Triangulate, Reset, EnableCircles, AddSites, RemoveSites, EntryCount };

// Pixels of the program's three drawing colours in its window.
struct Counts {
    long red = 0;   // triangulation edges
    long green = 0; // sites
    long blue = 0;  // circumcircles
};

struct Step {
    const char* label;
    MenuEntry entry;
    // Whether the picture shows the choice's effect, given the counts before.
    std::function<bool(const Counts&, const Counts&)> shows;
};

const std::vector<Step> kSession = {
    {"Add Sites (+5)", AddSites,
     [](const Counts& b, const Counts& a) { return a.green > b.green; }},
    {"Add Sites (+5)", AddSites,
     [](const Counts& b, const Counts& a) { return a.green > b.green; }},
    {"Remove Sites (-5)", RemoveSites,
     [](const Counts& b, const Counts& a) { return a.green < b.green; }},
    {"Triangulate", Triangulate, [](const Counts&, const Counts& a) { return a.red > 0; }},
    {"Enable Circles", EnableCircles, [](const Counts&, const Counts& a) { return a.blue > 0; }},
    {"Enable Circles", EnableCircles, [](const Counts&, const Counts& a) { return a.blue == 0; }},
    {"Enable Circles", EnableCircles, [](const Counts&, const Counts& a) { return a.blue > 0; }},
    {"Reset", Reset, [](const Counts&, const Counts& a) { return a.red == 0 && a.blue == 0; }},
    {"Add Sites (+5)", AddSites,
     [](const Counts& b, const Counts& a) { return a.green > b.green; }},
    {"Triangulate", Triangulate, [](const Counts&, const Counts& a) { return a.red > 0; }},
};

// The program's window as a person sees it, and its pop-up menu.
class ProgramScreen {
public:
    explicit ProgramScreen(std::chrono::seconds timeout)
        : m_timeout(timeout), m_menu(m_x, timeout) {}

    bool waitForWindow(const char* title) {
        return within([&] {
            const auto window = m_x.findTopLevelByTitle(title);
            if (window) {
                m_window = *window;
                m_area = m_x.geometryOf(m_window);
            }
            return window.has_value();
        });
    }

    Counts countColours() {
        Counts counts;
        const e2e::Image image = m_x.captureScreen(m_area);
        for (int row = 0; row < image.height(); ++row) {
            for (int col = 0; col < image.width(); ++col) {
                const e2e::Hue hue = image.hueAt(col, row);
                counts.red += hue == e2e::Hue::Red;
                counts.green += hue == e2e::Hue::Green;
                counts.blue += hue == e2e::Hue::Blue;
            }
        }
        return counts;
    }

    bool chooseMenuEntry(MenuEntry entry) {
        const auto layout = m_menu.open(m_area.x + m_area.width / 3, m_area.y + m_area.height / 4);
        return layout && layout->entryCount == EntryCount && m_menu.choose(*layout, entry);
    }

    void requestClose() { m_x.requestClose(m_window); }

    template <typename Condition>
    bool within(Condition condition) {
        return e2e::waitUntil(condition, m_timeout, std::chrono::milliseconds(200));
    }

private:
    std::chrono::milliseconds m_timeout;
    e2e::XDisplay m_x;
    e2e::PopupMenu m_menu;
    e2e::WindowId m_window = 0;
    e2e::Rect m_area;
};

bool runSession(ProgramScreen& screen, TestSupport::ChildProcess& program) {
    if (!screen.waitForWindow("Delaunay Tessaro Test") ||
        !screen.within([&] { return screen.countColours().green > 0; })) {
        std::fprintf(stderr, "session: the program's window did not show its sites\n");
        return false;
    }
    for (const Step& step : kSession) {
        const Counts before = screen.countColours();
        if (!program.running() || !screen.chooseMenuEntry(step.entry) ||
            !screen.within([&] { return step.shows(before, screen.countColours()); })) {
            std::fprintf(stderr, "session: \"%s\" did not take effect\n", step.label);
            return false;
        }
        std::printf("session: %s\n", step.label);
        std::fflush(stdout);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::chrono::seconds timeout(30);
    int first = 1;
    if (argc > 2 && std::string(argv[1]) == "--step-timeout") {
        timeout = std::chrono::seconds(std::atoi(argv[2]));
        first = 3;
    }
    if (first >= argc || std::string(argv[first]) != "--" || first + 1 >= argc) {
        std::fprintf(stderr, "usage: %s [--step-timeout SECONDS] -- COMMAND [ARG...]\n", argv[0]);
        return 2;
    }
    const std::vector<std::string> command(argv + first + 1, argv + argc);
    try {
        ProgramScreen screen(timeout);
        TestSupport::ChildProcess program(command);
        if (!runSession(screen, program)) {
            program.terminate();
            return 3;
        }
        screen.requestClose();
        const auto status = program.waitForExit(timeout);
        if (!status) {
            std::fprintf(stderr, "session: the program did not end after its window was closed\n");
            return 3;
        }
        std::printf("session: closed, program exit status %d\n", *status);
        return *status;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "session: %s\n", error.what());
        return 3;
    }
}
