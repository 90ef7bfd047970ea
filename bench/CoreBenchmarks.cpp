// Time of each phase of one triangulation cycle of the core: sort with siteLess
// plus construction, the edge walk with getEdges, and destruction. Every
// benchmark runs the whole cycle and times its own phase (manual time), so the
// phases are measured on the same work they see in the program.
#include "BenchSites.h"
#include "CpuClock.h"
#include "edgealgebra/DelaunayTriangulation.h"
#include "edgealgebra/EdgeWalker.h"

#include <benchmark/benchmark.h>

#include <algorithm>

#include <chrono>
#include <map>
#include <memory>

namespace {

using Clock = CpuClock;

enum class Phase { SortAndBuild, Walk, Destroy, Cycle };

double seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

void runCycles(benchmark::State& state, Phase phase) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    BenchSites input(n);
    std::size_t edges = 0;
    for (auto _ : state) {
        std::vector<EdgeAlgebra::Site*> sites = input.unsorted;
        const Clock::time_point start = Clock::now();
        std::sort(sites.begin(), sites.end(), EdgeAlgebra::siteLess);
        auto triangulation = std::make_unique<EdgeAlgebra::DelaunayTriangulation>(sites);
        const Clock::time_point built = Clock::now();
        {
            EdgeAlgebra::EdgeWalker walker(triangulation->getLeftEdge());
            const std::map<EdgeAlgebra::QuadEdge*, char> map = walker.getEdges();
            edges = map.size();
            benchmark::DoNotOptimize(map.begin()->first);
        }
        const Clock::time_point walked = Clock::now();
        triangulation.reset();
        const Clock::time_point destroyed = Clock::now();
        switch (phase) {
        case Phase::SortAndBuild:
            state.SetIterationTime(seconds(start, built));
            break;
        case Phase::Walk:
            state.SetIterationTime(seconds(built, walked));
            break;
        case Phase::Destroy:
            state.SetIterationTime(seconds(walked, destroyed));
            break;
        case Phase::Cycle:
            state.SetIterationTime(seconds(start, destroyed));
            break;
        }
    }
    state.counters["sites"] = static_cast<double>(n);
    state.counters["edges"] = static_cast<double>(edges);
    state.counters["per_site"] =
        benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

void OursSortAndBuild(benchmark::State& state) {
    runCycles(state, Phase::SortAndBuild);
}
void OursWalk(benchmark::State& state) {
    runCycles(state, Phase::Walk);
}
void OursDestroy(benchmark::State& state) {
    runCycles(state, Phase::Destroy);
}
void OursCycle(benchmark::State& state) {
    runCycles(state, Phase::Cycle);
}

void sizes(benchmark::internal::Benchmark* b) {
    for (long long n : benchSizes()) {
        b->Arg(n);
    }
    b->UseManualTime()->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(OursSortAndBuild)->Apply(sizes);
BENCHMARK(OursWalk)->Apply(sizes);
BENCHMARK(OursDestroy)->Apply(sizes);
BENCHMARK(OursCycle)->Apply(sizes);
