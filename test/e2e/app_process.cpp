#include "app_process.h"

#include "wait_until.h"

#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace e2e {

AppProcess::AppProcess(const std::string& executable, const std::string& preload, long fixedTime) {
    const std::string timeValue = std::to_string(fixedTime);
    m_pid = fork();
    if (m_pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (m_pid == 0) {
        setenv("LD_PRELOAD", preload.c_str(), 1);
        setenv("E2E_FIXED_TIME", timeValue.c_str(), 1);
        // A sanitizer build of the program would refuse a preloaded library
        // ahead of its runtime.
        const char* asan = std::getenv("ASAN_OPTIONS");
        const std::string asanOptions = std::string(asan != nullptr ? asan : "") +
                                        (asan != nullptr && *asan != '\0' ? ":" : "") +
                                        "verify_asan_link_order=0";
        setenv("ASAN_OPTIONS", asanOptions.c_str(), 1);
        execl(executable.c_str(), executable.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
}

AppProcess::~AppProcess() {
    if (isRunning()) {
        kill(m_pid, SIGKILL);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }
}

bool AppProcess::isRunning() {
    if (m_status || m_pid <= 0) {
        return false;
    }
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_status = status;
        return false;
    }
    return true;
}

std::optional<int> AppProcess::waitForExit(std::chrono::milliseconds timeout) {
    waitUntil([this] { return !isRunning(); }, timeout);
    return m_status;
}

} // namespace e2e
