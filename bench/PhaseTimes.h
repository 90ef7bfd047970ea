#pragma once

#include "BenchClock.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>

// Wall seconds spent in each named phase over all iterations of a benchmark;
// reported as counters in seconds per iteration.
class PhaseTimes {
public:
    // Adds the time since the previous mark (or since start) to `phase`.
    void mark(const std::string& phase) {
        const BenchClock::time_point now = BenchClock::now();
        m_seconds[phase] += secondsBetween(m_last, now);
        m_last = now;
    }
    void start() { m_last = BenchClock::now(); }

    // Seconds spent in `phase` over all iterations so far.
    double seconds(const std::string& phase) const {
        const auto it = m_seconds.find(phase);
        return it == m_seconds.end() ? 0.0 : it->second;
    }

    void report(benchmark::State& state, std::size_t sites) const {
        for (const auto& [phase, seconds] : m_seconds) {
            state.counters[phase] = benchmark::Counter(seconds, benchmark::Counter::kAvgIterations);
        }
        state.counters["sites"] = static_cast<double>(sites);
    }

private:
    BenchClock::time_point m_last;
    std::map<std::string, double> m_seconds;
};
