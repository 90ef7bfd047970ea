#pragma once

#include "BenchClock.h"

#include <benchmark/benchmark.h>

// The sizes of every cycle benchmark, timed manually in wall time.
inline constexpr long long kBenchSizes[] = {30, 1000, 10000, 100000, 1000000};

inline void applyBenchSizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"n"});
    for (long long n : kBenchSizes) {
        b->Arg(n);
    }
    b->UseManualTime()->Unit(benchmark::kMillisecond);
}

// The same sizes, each with one thread and with all threads (allThreads()),
// as the arguments n and threads.
inline void applyBenchSizesAndThreads(benchmark::internal::Benchmark* b) {
    b->ArgNames({"n", "threads"});
    for (long long n : kBenchSizes) {
        for (long long threads : {1LL, static_cast<long long>(allThreads())}) {
            b->Args({n, threads});
        }
    }
    b->UseManualTime()->Unit(benchmark::kMillisecond);
}
