// CGAL's Delaunay_triangulation_2 (exact predicates, inexact constructions) on
// the very same sites: range construction (which sorts spatially) and
// destruction, for the ratio ours / CGAL from one run on one machine.
#include "BenchSites.h"
#include "CpuClock.h"

#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using Triangulation = CGAL::Delaunay_triangulation_2<Kernel>;
using Clock = CpuClock;

enum class Phase { Build, Destroy, Cycle };

void runCgal(benchmark::State& state, Phase phase) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    BenchSites input(n);
    std::vector<Kernel::Point_2> points;
    points.reserve(n);
    for (const EdgeAlgebra::Site& s : input.sites) {
        points.emplace_back(s.x, s.y);
    }
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        auto triangulation = std::make_unique<Triangulation>(points.begin(), points.end());
        const Clock::time_point built = Clock::now();
        benchmark::DoNotOptimize(triangulation->number_of_faces());
        const Clock::time_point counted = Clock::now();
        triangulation.reset();
        const Clock::time_point destroyed = Clock::now();
        const double build = std::chrono::duration<double>(built - start).count();
        const double destroy = std::chrono::duration<double>(destroyed - counted).count();
        state.SetIterationTime(phase == Phase::Build     ? build
                               : phase == Phase::Destroy ? destroy
                                                         : build + destroy);
    }
    state.counters["sites"] = static_cast<double>(n);
    state.counters["per_site"] =
        benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

void CgalBuild(benchmark::State& state) {
    runCgal(state, Phase::Build);
}
void CgalDestroy(benchmark::State& state) {
    runCgal(state, Phase::Destroy);
}
void CgalBuildAndDestroy(benchmark::State& state) {
    runCgal(state, Phase::Cycle);
}

void sizes(benchmark::internal::Benchmark* b) {
    for (long long n : benchSizes()) {
        b->Arg(n);
    }
    b->UseManualTime()->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(CgalBuild)->Apply(sizes);
BENCHMARK(CgalDestroy)->Apply(sizes);
BENCHMARK(CgalBuildAndDestroy)->Apply(sizes);
