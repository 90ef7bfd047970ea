#pragma once

#include <chrono>
#include <ctime>

// The calling thread's CPU time as a std::chrono clock. The benchmark machines
// are shared, so wall time would count other processes' work; CPU time of the
// one benchmark thread counts only ours (cache and memory contention remain).
struct CpuClock {
    using duration = std::chrono::nanoseconds;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<CpuClock>;
    static constexpr bool is_steady = true;

    static time_point now() {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return time_point(duration(static_cast<rep>(ts.tv_sec) * 1000000000 + ts.tv_nsec));
    }
};
