// The driver reports the program's exit status as its own, so the status it
// reads back must be the program's, and a program that does not end must be
// ended.
#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

namespace {

using memcheck::ChildProcess;

TEST(ChildProcess, ReportsTheExitStatusOfTheCommand) {
    struct Case {
        std::vector<std::string> command;
        int status;
    };
    const Case cases[] = {
        {{"true"}, 0},
        {{"sh", "-c", "exit 99"}, 99},
        {{"sh", "-c", "kill -SEGV $$"}, 128 + SIGSEGV},
        {{"/nonexistent/program"}, 127},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command.back());
        ChildProcess child(c.command);
        const auto status = child.waitForExit(std::chrono::seconds(20));
        ASSERT_TRUE(status.has_value());
        EXPECT_EQ(*status, c.status);
        EXPECT_FALSE(child.running());
    }
}

TEST(ChildProcess, EndsACommandThatDoesNotFinish) {
    ChildProcess child({"sleep", "600"});
    EXPECT_FALSE(child.waitForExit(std::chrono::seconds(0)).has_value());
    EXPECT_TRUE(child.running());
    child.terminate();
    EXPECT_FALSE(child.running());
    EXPECT_EQ(child.waitForExit(std::chrono::seconds(0)), 128 + SIGTERM);
}

} // namespace
