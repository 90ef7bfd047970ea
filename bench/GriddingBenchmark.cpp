// Gridding scattered values, side by side: ours (triangulate, then linear,
// natural neighbour and nearest onto a regular grid, on one and on all
// threads; a million find queries) and, where CGAL is installed, CGAL's
// natural_neighbor_coordinates_2 on the same queries, per query against ours
// on one thread, with the largest difference of the two coordinates' values.
//
//   edgealgebra_gridding_bench FILE GRID [CGAL_QUERIES]
//
// FILE holds the sites as written by scripts/bench_gridding.py: the count n
// (uint64), then x, y (float64) per site, then the values (float64) per site.
// The grid is GRID x GRID points over the unit square. Times are wall times,
// the best of three runs; one line per figure, "name seconds".
#include "BenchClock.h"

#include <edgealgebra/Interpolate.h>
#include <edgealgebra/Locate.h>
#include <edgealgebra/Triangulate.h>

#ifdef TESSARO_BENCH_WITH_CGAL
#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>
#include <CGAL/natural_neighbor_coordinates_2.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct Samples {
    std::vector<double> xy, values;
};

Samples readSamples(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::uint64_t n = 0;
    in.read(reinterpret_cast<char*>(&n), sizeof n);
    Samples s{std::vector<double>(2 * n), std::vector<double>(n)};
    in.read(reinterpret_cast<char*>(s.xy.data()), static_cast<std::streamsize>(16 * n));
    in.read(reinterpret_cast<char*>(s.values.data()), static_cast<std::streamsize>(8 * n));
    if (!in) {
        std::fprintf(stderr, "gridding bench: cannot read %s\n", path);
        std::exit(1);
    }
    return s;
}

template <typename Work>
double bestOfThree(Work&& work) {
    double best = 1e300;
    for (int k = 0; k < 3; ++k) {
        const BenchClock::time_point start = BenchClock::now();
        work();
        best = std::min(best, secondsBetween(start, BenchClock::now()));
    }
    return best;
}

void report(const char* name, double seconds) {
    std::printf("%s %.4f\n", name, seconds);
}

#ifdef TESSARO_BENCH_WITH_CGAL
using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using VertexBase = CGAL::Triangulation_vertex_base_with_info_2<double, Kernel>;
using DataStructure =
    CGAL::Triangulation_data_structure_2<VertexBase, CGAL::Triangulation_face_base_2<Kernel>>;
using CgalDelaunay = CGAL::Delaunay_triangulation_2<Kernel, DataStructure>;

// CGAL's natural neighbour values at the queries, each located from the last
// one's face, as ours start from the last answer.
std::vector<double> cgalNatural(const CgalDelaunay& dt, const std::vector<double>& queries) {
    using Vertex = CgalDelaunay::Vertex_handle;
    std::vector<double> out(queries.size() / 2);
    std::vector<std::pair<Vertex, double>> coordinates;
    CgalDelaunay::Face_handle face;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const Kernel::Point_2 p(queries[2 * i], queries[2 * i + 1]);
        face = dt.locate(p, face);
        coordinates.clear();
        const auto result =
            CGAL::natural_neighbor_coordinates_2(dt, p, std::back_inserter(coordinates),
                                                 CGAL::Identity<std::pair<Vertex, double>>(), face);
        double sum = 0;
        for (const auto& [vertex, weight] : coordinates) {
            sum += weight * vertex->info();
        }
        out[i] = result.third ? sum / result.second : std::nan("");
    }
    return out;
}

void compareWithCgal(const Samples& s, const EdgeAlgebra::Interpolator& ours,
                     std::size_t queryCount) {
    std::vector<std::pair<Kernel::Point_2, double>> points;
    for (std::size_t i = 0; i < s.values.size(); ++i) {
        points.emplace_back(Kernel::Point_2(s.xy[2 * i], s.xy[2 * i + 1]), s.values[i]);
    }
    const CgalDelaunay dt(points.begin(), points.end());
    // Scattered queries well inside the hull, sorted along x and y in rows,
    // the same for both.
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> inner(0.01, 0.99);
    std::vector<double> queries;
    const std::size_t side = static_cast<std::size_t>(std::sqrt(double(queryCount)));
    for (std::size_t j = 0; j < side; ++j) {
        for (std::size_t i = 0; i < side; ++i) {
            queries.insert(queries.end(), {(i + inner(rng)) / side, (j + inner(rng)) / side});
        }
    }
    std::vector<double> theirs, mine;
    const double cgal = bestOfThree([&] { theirs = cgalNatural(dt, queries); });
    const double ours1 = bestOfThree(
        [&] { mine = ours.at(queries, EdgeAlgebra::Interpolation::NaturalNeighbour, NAN, 1); });
    double difference = 0;
    for (std::size_t i = 0; i < mine.size(); ++i) {
        difference = std::max(difference, std::fabs(mine[i] - theirs[i]));
    }
    const double count = static_cast<double>(mine.size());
    std::printf("natural queries %zu\n", mine.size());
    report("natural per query, CGAL natural_neighbor_coordinates_2 (us)", 1e6 * cgal / count);
    report("natural per query, ours on 1 thread (us)", 1e6 * ours1 / count);
    std::printf("natural largest difference ours - CGAL %.3g\n", difference);
}
#endif

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FILE GRID [CGAL_QUERIES]\n", argv[0]);
        return 2;
    }
    const Samples s = readSamples(argv[1]);
    const std::size_t side = std::stoul(argv[2]);
    const unsigned all = allThreads();
    std::printf("sites %zu grid %zux%zu threads %u\n", s.values.size(), side, side, all);

    EdgeAlgebra::Triangulation t;
    report("triangulate, all threads",
           bestOfThree([&] { t = EdgeAlgebra::triangulate(s.xy, all); }));
    std::unique_ptr<EdgeAlgebra::Interpolator> surface;
    report("interpolator, all threads", bestOfThree([&] {
               surface = std::make_unique<EdgeAlgebra::Interpolator>(t, s.xy, s.values, 1, all);
           }));
    const double step = 1.0 / static_cast<double>(side - 1);
    const EdgeAlgebra::Grid grid{0, 0, step, step, side, side};
    std::vector<double> out(side * side);
    const std::pair<const char*, EdgeAlgebra::Interpolation> methods[] = {
        {"linear", EdgeAlgebra::Interpolation::Linear},
        {"natural", EdgeAlgebra::Interpolation::NaturalNeighbour},
        {"nearest", EdgeAlgebra::Interpolation::Nearest}};
    for (const auto& [name, method] : methods) {
        for (const unsigned threads : {1u, all}) {
            const double seconds =
                bestOfThree([&] { surface->grid(grid, method, out.data(), NAN, threads); });
            std::printf("grid %s, %s %.4f\n", name, threads == 1 ? "1 thread" : "all threads",
                        seconds);
        }
    }

    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<double> queries(2 * 1000000);
    for (double& q : queries) {
        q = unit(rng);
    }
    std::vector<std::uint32_t> found(queries.size() / 2);
    const EdgeAlgebra::Locator& locator = surface->locator();
    for (const unsigned threads : {1u, all}) {
        const double seconds =
            bestOfThree([&] { locator.find(queries.data(), found.size(), found.data(), threads); });
        std::printf("find 1e6 random queries, %s %.4f\n", threads == 1 ? "1 thread" : "all threads",
                    seconds);
    }
#ifdef TESSARO_BENCH_WITH_CGAL
    compareWithCgal(s, *surface, argc > 3 ? std::stoul(argv[3]) : 100000);
#endif
    return 0;
}
