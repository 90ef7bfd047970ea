// The program under test as a child process: started with fork/exec, with a
// library preloaded, and always gone when this object is.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>

namespace e2e {

class AppProcess {
public:
    // Starts `executable` with no arguments. `preload` goes into LD_PRELOAD
    // and `fixedTime` into the preloaded clock's variable (see fixed_time.cpp).
    AppProcess(const std::string& executable, const std::string& preload, long fixedTime);
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    bool isRunning();
    // The raw wait status once the process has ended within `timeout`.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);

private:
    pid_t m_pid = -1;
    std::optional<int> m_status;
};

} // namespace e2e
