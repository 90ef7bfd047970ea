// The memcheck driver reports the program's exit status as its own and the
// tool tests compare statuses and outputs, so the status read back must be
// the program's, the streams and directory those asked for, and a program
// that does not end must be ended.
#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using TestSupport::ChildOptions;
using TestSupport::ChildProcess;

TEST(ChildProcess, ReportsTheExitStatusOfTheCommand) {
    struct Case {
        std::vector<std::string> command;
        int status;
        std::filesystem::path workDir;
    };
    const Case cases[] = {
        {{"true"}, 0, {}},
        {{"sh", "-c", "exit 99"}, 99, {}},
        {{"sh", "-c", "kill -SEGV $$"}, 128 + SIGSEGV, {}},
        {{"/nonexistent/program"}, 127, {}},
        {{"sh", "-c", "exit 3"}, 126, "/nonexistent/directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command.back());
        ChildOptions options;
        options.workDir = c.workDir;
        ChildProcess child(c.command, options);
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

TEST(ChildProcess, StartsInTheDirectoryWithTheEnvironmentAndStreamsAskedFor) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("child-process-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "in") << "from input\n";
    ChildOptions options;
    options.workDir = dir;
    options.environment = {{"CHILD_WORD", "set"}};
    options.input = dir / "in";
    options.output = dir / "out";
    options.error = dir / "err";
    ChildProcess child({"sh", "-c", "cat; echo \"$CHILD_WORD\"; pwd >&2"}, options);
    EXPECT_EQ(child.wait(), 0);
    const auto text = [&dir](const char* name) {
        std::ifstream in(dir / name);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(text("out"), "from input\nset\n");
    EXPECT_EQ(text("err"), std::filesystem::canonical(dir).string() + "\n");
    std::filesystem::remove_all(dir);
}

} // namespace
