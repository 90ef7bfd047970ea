// CGAL's Delaunay_triangulation_2 (exact predicates, inexact constructions) on
// the very same sites: range construction (which sorts spatially) and
// destruction, so that the ratio ours / CGAL comes from one run on one machine.
// CGAL builds on the calling thread; its times are wall times like ours.
#include "BenchSites.h"
#include "BenchSizes.h"
#include "PhaseTimes.h"

#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using Triangulation = CGAL::Delaunay_triangulation_2<Kernel>;

void CgalCycle(benchmark::State& state) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    const std::vector<float> coords = benchCoords(n);
    std::vector<Kernel::Point_2> points;
    points.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        points.emplace_back(coords[2 * i], coords[2 * i + 1]);
    }
    PhaseTimes phases;
    for (auto _ : state) {
        const BenchClock::time_point start = BenchClock::now();
        phases.start();
        auto triangulation = std::make_unique<Triangulation>(points.begin(), points.end());
        phases.mark("build");
        benchmark::DoNotOptimize(triangulation->number_of_faces());
        phases.start();
        triangulation.reset();
        phases.mark("destroy");
        state.SetIterationTime(secondsBetween(start, BenchClock::now()));
    }
    phases.report(state, n);
}

} // namespace

BENCHMARK(CgalCycle)->Apply(applyBenchSizes);
