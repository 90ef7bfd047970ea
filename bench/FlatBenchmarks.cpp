// The flat front door: one call of triangulate(coords, threads) (sorting,
// construction and the flat arrays) on the same sites as the other
// benchmarks, given as flat x, y floats (and again as doubles), on one thread
// and on all threads.
// The manual time is the wall time of the call; freeing the arrays afterwards
// is reported as a counter of its own.
//
// The cost of segments: the same sites with a thousand long segments across
// the square, triangulate(coords, segments), beside the plain triangulate of
// exactly the same sites (the segments' ends included).
#include "BenchSites.h"
#include "BenchSizes.h"
#include "PhaseTimes.h"
#include "edgealgebra/Triangulate.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <utility>

namespace {

// Times `triangulateOnce` (which returns a Triangulation) per iteration, and
// the freeing of its result apart.
template <typename Triangulate>
void timeTriangulate(benchmark::State& state, std::size_t n, Triangulate triangulateOnce) {
    PhaseTimes phases;
    std::size_t triangles = 0;
    for (auto _ : state) {
        phases.start();
        const BenchClock::time_point start = BenchClock::now();
        EdgeAlgebra::Triangulation result = triangulateOnce();
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

void OursTriangulate(benchmark::State& state) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    const unsigned threads = static_cast<unsigned>(state.range(1));
    const std::vector<float> coords = benchCoords(n);
    timeTriangulate(state, n, [&] { return EdgeAlgebra::triangulate(coords, threads); });
}

// The double-precision path on the same sites, lifted to doubles: the same
// triangles, decided on double coordinates.
void OursTriangulateDouble(benchmark::State& state) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    const unsigned threads = static_cast<unsigned>(state.range(1));
    const std::vector<float> single = benchCoords(n);
    const std::vector<double> coords(single.begin(), single.end());
    timeTriangulate(state, n, [&] { return EdgeAlgebra::triangulate(coords, threads); });
}

// A thousand horizontal segments across the whole square [-4, 4)^2, at
// evenly spaced heights, their ends added to the sites: parallel, so none
// crosses another, and each crosses the edges of a row of triangles from
// one side to the other (of the order of sqrt(n) of them).
constexpr std::uint32_t kLongSegments = 1000;

struct SitesWithSegments {
    std::vector<float> coords;
    std::vector<std::uint32_t> segments;
};

SitesWithSegments sitesWithLongSegments(std::size_t n) {
    SitesWithSegments result{benchCoords(n), {}};
    for (std::uint32_t k = 0; k < kLongSegments; ++k) {
        const float y = -4.0f + 8.0f * (static_cast<float>(k) + 0.5f) / kLongSegments;
        const std::uint32_t first = static_cast<std::uint32_t>(result.coords.size() / 2);
        result.coords.insert(result.coords.end(), {-4.0f, y, 4.0f, y});
        result.segments.insert(result.segments.end(), {first, first + 1});
    }
    return result;
}

// The plain triangulation of the sites with the segments' ends.
void OursTriangulateSegmentSites(benchmark::State& state) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    const unsigned threads = static_cast<unsigned>(state.range(1));
    const SitesWithSegments input = sitesWithLongSegments(n);
    timeTriangulate(state, n, [&] { return EdgeAlgebra::triangulate(input.coords, threads); });
}

// The same sites with the segments inserted (on the calling thread, after a
// construction on `threads`).
void OursTriangulateSegments(benchmark::State& state) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    const unsigned threads = static_cast<unsigned>(state.range(1));
    const SitesWithSegments input = sitesWithLongSegments(n);
    timeTriangulate(
        state, n, [&] { return EdgeAlgebra::triangulate(input.coords, input.segments, threads); });
    state.counters["segments"] = kLongSegments;
}

// A star: every site joined to the first, which ends n - 1 segments. Each
// insertion starts its walk from the end with fewer edges, so the star
// costs about as much as n segments of ordinary sites.
void OursTriangulateStar(benchmark::State& state) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    const std::vector<float> coords = benchCoords(n);
    std::vector<std::uint32_t> star;
    for (std::uint32_t i = 1; i < n; ++i) {
        star.insert(star.end(), {0u, i});
    }
    timeTriangulate(state, n, [&] { return EdgeAlgebra::triangulate(coords, star, 1); });
}

// The sizes where a thousand segments across the square are long ones: from
// ten thousand sites on, each with one thread and with all threads.
void applySegmentSizesAndThreads(benchmark::internal::Benchmark* b) {
    b->ArgNames({"n", "threads"});
    for (long long n : kBenchSizes) {
        for (long long threads : {1LL, static_cast<long long>(allThreads())}) {
            if (n >= 10000) {
                b->Args({n, threads});
            }
        }
    }
    b->UseManualTime()->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(OursTriangulate)->Apply(applyBenchSizesAndThreads);
BENCHMARK(OursTriangulateDouble)->Apply(applyBenchSizesAndThreads);
BENCHMARK(OursTriangulateSegmentSites)->Apply(applySegmentSizesAndThreads);
BENCHMARK(OursTriangulateSegments)->Apply(applySegmentSizesAndThreads);
BENCHMARK(OursTriangulateStar)
    ->ArgName("n")
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
