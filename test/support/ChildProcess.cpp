#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace TestSupport {

namespace {

int statusOf(int waitStatus) {
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
}

// In the child, between fork and exec: a failure ends it with 126.
void redirect(const std::filesystem::path& path, int flags, int target) {
    if (path.empty()) {
        return;
    }
    const int fd = open(path.c_str(), flags, 0644);
    if (fd < 0 || dup2(fd, target) < 0) {
        _exit(126);
    }
    close(fd);
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& command, const ChildOptions& options) {
    if (command.empty()) {
        throw std::invalid_argument("ChildProcess needs a command");
    }
    std::vector<char*> argv;
    for (const std::string& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    m_pid = fork();
    if (m_pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (m_pid == 0) {
        for (const auto& [name, value] : options.environment) {
            setenv(name.c_str(), value.c_str(), 1);
        }
        redirect(options.input, O_RDONLY, 0);
        redirect(options.output, O_WRONLY | O_CREAT | O_TRUNC, 1);
        redirect(options.error, O_WRONLY | O_CREAT | O_TRUNC, 2);
        if (!options.workDir.empty() && chdir(options.workDir.c_str()) != 0) {
            _exit(126);
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
}

ChildProcess::~ChildProcess() {
    terminate();
}

bool ChildProcess::running() {
    if (m_status) {
        return false;
    }
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_status = statusOf(status);
        return false;
    }
    return true;
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return m_status;
}

int ChildProcess::wait() {
    if (!m_status) {
        int status = 0;
        int waited = 0;
        do {
            waited = waitpid(m_pid, &status, 0);
        } while (waited < 0 && errno == EINTR);
        m_status = waited == m_pid ? statusOf(status) : -1;
    }
    return *m_status;
}

void ChildProcess::terminate() {
    if (!running()) {
        return;
    }
    kill(m_pid, SIGTERM);
    if (!waitForExit(std::chrono::seconds(10))) {
        kill(m_pid, SIGKILL);
        wait();
    }
}

} // namespace TestSupport
