// The flat front door: one call of triangulate(coords, threads) (sorting,
// construction and the flat arrays) on the same sites as the other
// benchmarks, given as flat x, y floats, on one thread and on all threads.
// The manual time is the wall time of the call; freeing the arrays afterwards
// is reported as a counter of its own.
#include "BenchSites.h"
#include "BenchSizes.h"
#include "PhaseTimes.h"
#include "edgealgebra/Triangulate.h"

#include <benchmark/benchmark.h>

#include <utility>

namespace {

void OursTriangulate(benchmark::State& state) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    const unsigned threads = static_cast<unsigned>(state.range(1));
    const std::vector<float> coords = benchCoords(n);
    PhaseTimes phases;
    std::size_t triangles = 0;
    for (auto _ : state) {
        phases.start();
        const BenchClock::time_point start = BenchClock::now();
        EdgeAlgebra::Triangulation result = EdgeAlgebra::triangulate(coords, threads);
        state.SetIterationTime(secondsBetween(start, BenchClock::now()));
        phases.mark("triangulate");
        triangles = result.triangles.size() / 3;
        benchmark::DoNotOptimize(result.halfedges.data());
        { EdgeAlgebra::Triangulation gone = std::move(result); }
        phases.mark("free");
    }
    phases.report(state, n);
    state.counters["triangles"] = static_cast<double>(triangles);
}

} // namespace

BENCHMARK(OursTriangulate)->Apply(applyBenchSizesAndThreads);
