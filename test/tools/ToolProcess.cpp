#include "ToolProcess.h"

#include "ChildProcess.h"
#include "ToolTestSupport.h"

namespace ToolTest {

namespace {

ToolResult run(const std::string& program, const std::vector<std::string>& arguments,
               const std::filesystem::path& workDir, const std::filesystem::path& input) {
    // Outputs are captured beside the work directory, not in it, so that the
    // tests can check that the work directory holds nothing unexpected.
    TemporaryDirectory capture;
    TestSupport::ChildOptions options;
    options.workDir = workDir;
    options.input = input.empty() ? std::filesystem::path("/dev/null") : input;
    options.output = capture.file("stdout");
    options.error = capture.file("stderr");
    std::vector<std::string> command{program};
    command.insert(command.end(), arguments.begin(), arguments.end());
    ToolResult result;
    result.status = TestSupport::ChildProcess(command, options).wait();
    result.out = readFile(options.output);
    result.err = readFile(options.error);
    return result;
}

} // namespace

ToolResult runTool(const std::vector<std::string>& arguments, const std::filesystem::path& workDir,
                   const std::filesystem::path& input) {
    return run(TESSARO_TRIANGULATE_PATH, arguments, workDir, input);
}

ToolResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& workDir) {
    return run(program, arguments, workDir, {});
}

} // namespace ToolTest
