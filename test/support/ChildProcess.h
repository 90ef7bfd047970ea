#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace TestSupport {

// How a child process is started. Empty paths leave the parent's standard
// streams and working directory in place.
struct ChildOptions {
    // Set in the child's environment, after the parent's.
    std::vector<std::pair<std::string, std::string>> environment;
    std::filesystem::path workDir;
    std::filesystem::path input;  // standard input read from this file
    std::filesystem::path output; // standard output written to this file
    std::filesystem::path error;  // standard error written to this file
};

// A program the tests start (fork and exec, looked up on PATH) and always end:
// a child still running when the object goes is terminated.
class ChildProcess {
public:
    // The exit status of a child that could not be started: 127 when the
    // program was not found, 126 when its streams or directory could not be
    // set up.
    explicit ChildProcess(const std::vector<std::string>& command,
                          const ChildOptions& options = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool running();
    // The exit status once the process has ended within `timeout` (128 +
    // signal number for a signal), or nothing.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    // Waits as long as it takes; -1 if the child cannot be waited for.
    int wait();
    // SIGTERM, then SIGKILL if it is still there ten seconds later.
    void terminate();

private:
    int m_pid = -1;
    std::optional<int> m_status;
};

} // namespace TestSupport
