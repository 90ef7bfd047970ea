// One triangulation in a process of its own, for the peak memory per site and
// for very large inputs.
//
//   edgealgebra_peak_memory N [cycle|triangulate|cgal] [THREADS|all]
//
// - cycle (the default): N sites as Site objects, sortSites, the
//   DelaunayTriangulation constructor, an EdgeWalker with getEdges, the
//   destructor.
// - triangulate: N sites as flat x, y floats, the only input held, and one
//   call of triangulate(coords, threads); the result is freed afterwards.
// - cgal: CGAL's Delaunay_triangulation_2 built from N points and destroyed
//   (where the binary was built with CGAL).
// THREADS is the construction's thread count (0: the core's default, the
// hardware's); `all`, the default, is every hardware thread and at least two,
// as in the benchmarks. The sites are those of the benchmarks.
//
// Prints the wall time of each phase (also per site), the peak resident size
// before and after the triangulation, and the peak per site for the whole
// process (input included) and for the triangulation alone.
//
// Everything runs on the main thread with the stack the shell gives it (8 MiB
// by default) and on the core's threads with the default thread stack: the
// constructions recurse about log2 n deep and the walks use explicit queues,
// so ten million sites and more need no larger stack.
#include "BenchClock.h"
#include "BenchSites.h"
#include "edgealgebra/DelaunayTriangulation.h"
#include "edgealgebra/EdgeWalker.h"
#include "edgealgebra/SortSites.h"
#include "edgealgebra/Triangulate.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>

#ifdef TESSARO_BENCH_WITH_CGAL
#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#endif

namespace {

long peakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Each run*() prints its counts and times and returns the peak resident size
// before the triangulation, with the input in place.

// Seconds since `mark`, which moves on to now.
double lap(BenchClock::time_point& mark) {
    const BenchClock::time_point now = BenchClock::now();
    const double s = secondsBetween(mark, now);
    mark = now;
    return s;
}

void printTime(const char* phase, double seconds, std::size_t n) {
    std::printf("%s %.3f s (%.1f ns per site)\n", phase, seconds,
                seconds * 1e9 / static_cast<double>(n));
}

long runCycle(std::size_t n, unsigned threads) {
    BenchSites input(n);
    const long before = peakResidentKiB();
    std::vector<EdgeAlgebra::Site*> sites = input.unsorted;
    BenchClock::time_point mark = BenchClock::now();
    EdgeAlgebra::sortSites(sites);
    const double sort = lap(mark);
    auto triangulation = std::make_unique<EdgeAlgebra::DelaunayTriangulation>(sites, threads);
    const double build = lap(mark);
    std::size_t edges = 0;
    {
        EdgeAlgebra::EdgeWalker walker(triangulation->getLeftEdge());
        edges = walker.getEdges().size();
    }
    const double walk = lap(mark);
    triangulation.reset();
    const double destroy = lap(mark);
    std::printf("edges %zu\n", edges);
    printTime("sort+build", sort + build, n);
    printTime("of which sortSites", sort, n);
    printTime("walk+getEdges", walk, n);
    printTime("destroy", destroy, n);
    printTime("whole cycle", sort + build + walk + destroy, n);
    return before;
}

long runTriangulate(std::size_t n, unsigned threads) {
    BenchClock::time_point mark = BenchClock::now();
    const std::vector<float> coords = benchCoords(n);
    const double generate = lap(mark);
    const long before = peakResidentKiB();
    mark = BenchClock::now();
    EdgeAlgebra::Triangulation result = EdgeAlgebra::triangulate(coords, threads);
    const double triangulate = lap(mark);
    const std::size_t triangles = result.triangles.size() / 3;
    { EdgeAlgebra::Triangulation gone = std::move(result); }
    const double freeing = lap(mark);
    std::printf("triangles %zu\n", triangles);
    printTime("generating coordinates", generate, n);
    printTime("triangulate", triangulate, n);
    printTime("free", freeing, n);
    return before;
}

#ifdef TESSARO_BENCH_WITH_CGAL
long runCgal(std::size_t n) {
    using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
    std::vector<Kernel::Point_2> points;
    {
        const std::vector<float> coords = benchCoords(n);
        points.reserve(n);
        for (std::size_t i = 0; i < n; ++i) {
            points.emplace_back(coords[2 * i], coords[2 * i + 1]);
        }
    }
    const long before = peakResidentKiB();
    BenchClock::time_point mark = BenchClock::now();
    auto triangulation =
        std::make_unique<CGAL::Delaunay_triangulation_2<Kernel>>(points.begin(), points.end());
    const double build = lap(mark);
    const std::size_t faces = triangulation->number_of_faces();
    triangulation.reset();
    const double destroy = lap(mark);
    std::printf("cgal faces %zu\n", faces);
    printTime("cgal build", build, n);
    printTime("cgal destroy", destroy, n);
    return before;
}
#endif

int usage(const char* program) {
    std::fprintf(stderr, "usage: %s N [cycle|triangulate|cgal] [THREADS|all]\n", program);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        return usage(argv[0]);
    }
    char* end = nullptr;
    const std::size_t n = std::strtoull(argv[1], &end, 10);
    if (*end != '\0' || n < 2) {
        return usage(argv[0]);
    }
    const std::string mode = argc > 2 ? argv[2] : "cycle";
    unsigned threads = allThreads();
    if (argc > 3 && std::strcmp(argv[3], "all") != 0) {
        threads = static_cast<unsigned>(std::strtoul(argv[3], &end, 10));
        if (*end != '\0' || argv[3][0] == '\0') {
            return usage(argv[0]);
        }
    }

    if (mode == "cgal") {
#ifndef TESSARO_BENCH_WITH_CGAL
        std::fprintf(stderr, "%s: built without CGAL\n", argv[0]);
        return 2;
#endif
        threads = 1;
    } else if (mode != "cycle" && mode != "triangulate") {
        return usage(argv[0]);
    }
    if (threads == 0) {
        std::printf("%s, the hardware's threads\n", mode.c_str());
    } else {
        std::printf("%s, %u thread%s\n", mode.c_str(), threads, threads == 1 ? "" : "s");
    }
    std::fflush(stdout);
    long before = 0;
    if (mode == "cycle") {
        before = runCycle(n, threads);
    } else if (mode == "triangulate") {
        before = runTriangulate(n, threads);
    } else {
#ifdef TESSARO_BENCH_WITH_CGAL
        before = runCgal(n);
#endif
    }
    const long after = peakResidentKiB();
    std::printf("sites %zu\npeak before %ld KiB\npeak %ld KiB\n", n, before, after);
    std::printf("peak bytes per site %.1f (whole process)\n",
                after * 1024.0 / static_cast<double>(n));
    std::printf("cycle bytes per site %.1f (the run, above its input)\n",
                (after - before) * 1024.0 / static_cast<double>(n));
    return 0;
}
