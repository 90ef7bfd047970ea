// One triangulation cycle in a process of its own, for the peak memory per
// site and for very large inputs (ten million sites run here with the default
// stack). Usage: edgealgebra_peak_memory N [cgal]
// Prints the peak resident size before and after the cycle, the peak per site
// (the whole process, sites included) and the time of each phase.
#include "BenchSites.h"
#include "CpuClock.h"
#include "edgealgebra/DelaunayTriangulation.h"
#include "edgealgebra/EdgeWalker.h"
#include "edgealgebra/SortSites.h"

#include <sys/resource.h>

#include <algorithm>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

#ifdef TESSARO_BENCH_WITH_CGAL
#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#endif

namespace {

using Clock = CpuClock;

long peakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double secondsSince(Clock::time_point& mark) {
    const Clock::time_point now = Clock::now();
    const double s = std::chrono::duration<double>(now - mark).count();
    mark = now;
    return s;
}

void runOurs(BenchSites& input) {
    std::vector<EdgeAlgebra::Site*> sites = input.unsorted;
    Clock::time_point mark = Clock::now();
    EdgeAlgebra::sortSites(sites);
    auto triangulation = std::make_unique<EdgeAlgebra::DelaunayTriangulation>(sites);
    const double build = secondsSince(mark);
    std::size_t edges = 0;
    {
        EdgeAlgebra::EdgeWalker walker(triangulation->getLeftEdge());
        edges = walker.getEdges().size();
    }
    const double walk = secondsSince(mark);
    triangulation.reset();
    const double destroy = secondsSince(mark);
    std::printf("edges %zu\nsort+build %.3f s\nwalk+getEdges %.3f s\ndestroy %.3f s\n", edges,
                build, walk, destroy);
}

#ifdef TESSARO_BENCH_WITH_CGAL
void runCgal(const BenchSites& input) {
    using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
    std::vector<Kernel::Point_2> points;
    points.reserve(input.sites.size());
    for (const EdgeAlgebra::Site& s : input.sites) {
        points.emplace_back(s.x, s.y);
    }
    Clock::time_point mark = Clock::now();
    auto triangulation =
        std::make_unique<CGAL::Delaunay_triangulation_2<Kernel>>(points.begin(), points.end());
    const double build = secondsSince(mark);
    std::printf("cgal faces %zu\n", triangulation->number_of_faces());
    triangulation.reset();
    std::printf("cgal build %.3f s\ncgal destroy %.3f s\n", build, secondsSince(mark));
}
#endif

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s N [cgal]\n", argv[0]);
        return 2;
    }
    const std::size_t n = std::strtoull(argv[1], nullptr, 10);
    const bool cgal = argc > 2 && std::strcmp(argv[2], "cgal") == 0;
    BenchSites input(n);
    const long before = peakResidentKiB();
    if (cgal) {
#ifdef TESSARO_BENCH_WITH_CGAL
        runCgal(input);
#else
        std::fprintf(stderr, "built without CGAL\n");
        return 2;
#endif
    } else {
        runOurs(input);
    }
    const long after = peakResidentKiB();
    std::printf("sites %zu\npeak before cycle %ld KiB\npeak %ld KiB\n", n, before, after);
    std::printf("peak bytes per site %.1f\ncycle bytes per site %.1f\n",
                after * 1024.0 / static_cast<double>(n),
                (after - before) * 1024.0 / static_cast<double>(n));
    return 0;
}
