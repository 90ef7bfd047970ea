#pragma once

#include <algorithm>
#include <chrono>
#include <thread>

// Every benchmark measures wall time: the constructions run on several
// threads, so the time a caller waits is what counts, and the CPU time of the
// benchmark thread would miss the work of the others. On a shared machine
// this also counts other processes' work, hence the repetitions and medians.
using BenchClock = std::chrono::steady_clock;

inline double secondsBetween(BenchClock::time_point from, BenchClock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// The thread count of the parallel runs: every hardware thread, and at least
// two, so that the parallel path is measured even on a machine with one core.
inline unsigned allThreads() {
    return std::max(2u, std::thread::hardware_concurrency());
}
