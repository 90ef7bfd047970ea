// One triangulation cycle of the core: sort plus construction (also reported
// apart), the edge walk with getEdges, and destruction. OursCycle sorts with
// the core's radix sort sortSites and builds on one thread and on all
// threads; OursCycleStdSort sorts as the program's scene does, with std::sort
// and siteLess, and builds on one thread. Both sorts give the same order.
// The manual time is the wall time of the whole cycle; each phase is reported
// as a counter (wall seconds per iteration).
#include "BenchSites.h"
#include "BenchSizes.h"
#include "PhaseTimes.h"
#include "edgealgebra/DelaunayTriangulation.h"
#include "edgealgebra/EdgeWalker.h"
#include "edgealgebra/SortSites.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <memory>

namespace {

using SiteSort = void (*)(std::vector<EdgeAlgebra::Site*>&);

void sortWithSiteLess(std::vector<EdgeAlgebra::Site*>& sites) {
    std::sort(sites.begin(), sites.end(), EdgeAlgebra::siteLess);
}

void runCycles(benchmark::State& state, SiteSort sortSites, unsigned threads) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    BenchSites input(n);
    PhaseTimes phases;
    std::size_t edges = 0;
    for (auto _ : state) {
        std::vector<EdgeAlgebra::Site*> sites = input.unsorted;
        const BenchClock::time_point start = BenchClock::now();
        phases.start();
        sortSites(sites);
        phases.mark("sort");
        auto triangulation = std::make_unique<EdgeAlgebra::DelaunayTriangulation>(sites, threads);
        phases.mark("build");
        {
            EdgeAlgebra::EdgeWalker walker(triangulation->getLeftEdge());
            const std::map<EdgeAlgebra::QuadEdge*, char> map = walker.getEdges();
            edges = map.size();
            benchmark::DoNotOptimize(map.begin()->first);
        }
        phases.mark("walk");
        triangulation.reset();
        phases.mark("destroy");
        state.SetIterationTime(secondsBetween(start, BenchClock::now()));
    }
    phases.report(state, n);
    state.counters["sort_build"] = benchmark::Counter(
        phases.seconds("sort") + phases.seconds("build"), benchmark::Counter::kAvgIterations);
    state.counters["edges"] = static_cast<double>(edges);
}

void OursCycle(benchmark::State& state) {
    runCycles(state, EdgeAlgebra::sortSites, static_cast<unsigned>(state.range(1)));
}

void OursCycleStdSort(benchmark::State& state) {
    runCycles(state, sortWithSiteLess, 1);
}

} // namespace

BENCHMARK(OursCycle)->Apply(applyBenchSizesAndThreads);
BENCHMARK(OursCycleStdSort)->Apply(applyBenchSizes);
