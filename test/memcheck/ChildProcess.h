#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace memcheck {

// A program started by the driver, ended by it if the session goes wrong.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& command);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool running();
    // The exit status once the process has ended within `timeout`
    // (128 + signal number for a signal), or nothing.
    std::optional<int> waitForExit(std::chrono::seconds timeout);
    // SIGTERM, then SIGKILL if it is still there a few seconds later.
    void terminate();

private:
    int m_pid = -1;
    std::optional<int> m_status;
};

} // namespace memcheck
