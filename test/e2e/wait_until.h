// Bounded polling: tests wait for a condition of the real window instead of
// sleeping for a fixed time.
#pragma once

#include <chrono>
#include <thread>

namespace e2e {

using Clock = std::chrono::steady_clock;

// Generous, since the program renders in software on a shared machine; a
// passing condition ends the wait at once.
constexpr std::chrono::milliseconds kDefaultTimeout{10000};

// Calls `condition` until it returns true or `timeout` has passed; returns its
// last result. The condition is always evaluated at least once more after the
// deadline has been reached, so a slow first poll cannot fail the wait.
template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds timeout = kDefaultTimeout,
               std::chrono::milliseconds interval = std::chrono::milliseconds(20)) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(interval);
    }
    return condition();
}

} // namespace e2e
