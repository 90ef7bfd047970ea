#pragma once

#include <benchmark/benchmark.h>

// Every cycle benchmark runs at these sizes, timed manually in CPU time.
inline void applyBenchSizes(benchmark::internal::Benchmark* b) {
    for (long long n : {30LL, 1000LL, 10000LL, 100000LL, 1000000LL}) {
        b->Arg(n);
    }
    b->UseManualTime()->Unit(benchmark::kMillisecond);
}
