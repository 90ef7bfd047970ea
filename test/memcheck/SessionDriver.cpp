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
#include "XSession.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

enum MenuEntry { Triangulate, Reset, EnableCircles, AddSites, RemoveSites, EntryCount };

struct Step {
    const char* label;
    MenuEntry entry;
    // Whether the picture shows the choice's effect, given the counts before.
    std::function<bool(const memcheck::ColourCounts&, const memcheck::ColourCounts&)> shows;
};

using Counts = memcheck::ColourCounts;

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

template <typename Condition>
bool within(std::chrono::seconds timeout, Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return true;
}

bool runSession(memcheck::XSession& x, memcheck::ChildProcess& program,
                std::chrono::seconds timeout) {
    if (!x.waitForWindow("Delaunay Tessaro Test") ||
        !within(timeout, [&] { return x.countColours().green > 0; })) {
        std::fprintf(stderr, "session: the program's window did not show its sites\n");
        return false;
    }
    for (const Step& step : kSession) {
        const Counts before = x.countColours();
        if (!program.running() || !x.chooseMenuEntry(step.entry, EntryCount) ||
            !within(timeout, [&] { return step.shows(before, x.countColours()); })) {
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
        memcheck::XSession x(timeout);
        memcheck::ChildProcess program(command);
        if (!runSession(x, program, timeout)) {
            program.terminate();
            return 3;
        }
        x.requestClose();
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
