// The whole Triangulate work of the program's scene at its largest size, 30
// sites: sites copied in, sorted, triangulated, walked, turned into lines and
// circumcircles, and everything freed again.
#include "BenchClock.h"
#include "BenchSites.h"
#include "scene/Scene.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void SceneTriangulate(benchmark::State& state) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    BenchSites input(n);
    std::vector<DelaunayTest::Point> points;
    for (const EdgeAlgebra::Site& s : input.sites) {
        points.emplace_back(s.x, s.y);
    }
    for (auto _ : state) {
        DelaunayTest::Scene scene(points, 1u);
        const auto start = BenchClock::now();
        scene.triangulate();
        const auto done = BenchClock::now();
        benchmark::DoNotOptimize(scene.getLines().data());
        state.SetIterationTime(secondsBetween(start, done));
    }
    state.counters["sites"] = static_cast<double>(n);
    state.counters["per_site"] =
        benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(SceneTriangulate)->Arg(30)->UseManualTime()->Unit(benchmark::kMicrosecond);
