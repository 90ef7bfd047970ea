// The flat front door, triangulate(coords): sorting, construction and the
// flat arrays in one call, on the same sites as the other benchmarks.
#include "BenchSites.h"
#include "BenchSizes.h"
#include "PhaseTimes.h"
#include "edgealgebra/Triangulate.h"

#include <benchmark/benchmark.h>

namespace {

void OursTriangulate(benchmark::State& state) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    BenchSites input(n);
    std::vector<float> coords;
    coords.reserve(2 * n);
    for (const EdgeAlgebra::Site& s : input.sites) {
        coords.push_back(s.x);
        coords.push_back(s.y);
    }
    PhaseTimes phases;
    std::size_t triangles = 0;
    for (auto _ : state) {
        phases.start();
        const CpuClock::time_point start = CpuClock::now();
        EdgeAlgebra::Triangulation result = EdgeAlgebra::triangulate(coords);
        state.SetIterationTime(std::chrono::duration<double>(CpuClock::now() - start).count());
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

BENCHMARK(OursTriangulate)->Apply(applyBenchSizes);
