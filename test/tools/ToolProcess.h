#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ToolTest {

struct ToolResult {
    int status = -1; // exit status, 128 + n when ended by signal n
    std::string out;
    std::string err;
};

// Runs the built tessaro-triangulate (as a TestSupport::ChildProcess) with the arguments, standard
// input read from `input` (empty: /dev/null), in the working directory `workDir`.
ToolResult runTool(const std::vector<std::string>& arguments, const std::filesystem::path& workDir,
                   const std::filesystem::path& input = {});

// Runs any program the same way; standard input is /dev/null.
ToolResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& workDir);

} // namespace ToolTest
