#include "ToolProcess.h"

#include "ToolTestSupport.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ToolTest {

namespace {

void redirect(const std::filesystem::path& path, int flags, int target) {
    const int fd = open(path.c_str(), flags, 0644);
    if (fd < 0 || dup2(fd, target) < 0) {
        _exit(126);
    }
    close(fd);
}

ToolResult run(const std::string& program, const std::vector<std::string>& arguments,
               const std::filesystem::path& workDir, const std::filesystem::path& input) {
    // Outputs are captured beside the work directory, not in it, so that the
    // tests can check that the work directory holds nothing unexpected.
    TemporaryDirectory capture;
    const std::filesystem::path outPath = capture.file("stdout");
    const std::filesystem::path errPath = capture.file("stderr");

    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        redirect(input.empty() ? std::filesystem::path("/dev/null") : input, O_RDONLY, 0);
        redirect(outPath, O_WRONLY | O_CREAT | O_TRUNC, 1);
        redirect(errPath, O_WRONLY | O_CREAT | O_TRUNC, 2);
        if (chdir(workDir.c_str()) != 0) {
            _exit(126);
        }
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    ToolResult result;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        result.status = WEXITSTATUS(status);
    }
    result.out = readFile(outPath);
    result.err = readFile(errPath);
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
