// Quality meshes side by side: our refine and, where CGAL is found, CGAL's
// Delaunay_mesher_2, on the same domains with the same bounds, one thread,
// each run repeated and interleaved with the other's, the median reported.
// Both run on one thread, so the time is the process's CPU time, which the
// other jobs of a shared machine disturb far less than the wall time.
// Gmsh runs apart, from scripts/bench-mesh.sh, which also writes the
// domains as .geo files from the .poly files this program writes.
//
//   edgealgebra_mesh_bench [REPETITIONS] [POLY_DIR]
//
// Prints one tab-separated line per domain, bound and mesher: domain,
// mesher, min angle bound, size bound (area; CGAL gets the longest edge of
// an equilateral triangle of that area), seconds, triangles, Steiner points,
// smallest angle, largest area. With POLY_DIR, writes each domain there as
// NAME.poly (1-based) with its size bound in NAME.size.
#include "MeshDomains.h"

#include <edgealgebra/Refine.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#ifdef TESSARO_BENCH_WITH_CGAL
#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Delaunay_mesh_face_base_2.h>
#include <CGAL/Delaunay_mesh_size_criteria_2.h>
#include <CGAL/Delaunay_mesh_vertex_base_2.h>
#include <CGAL/Delaunay_mesher_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#endif

namespace {

constexpr double kPi = 3.14159265358979323846;

double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

struct Run {
    double seconds = 0;
    std::size_t triangles = 0, steiner = 0;
    double smallestAngle = 180, largestArea = 0;
};

// Measures the smallest angle and largest area of a triangle.
void measure(Run& run, double ax, double ay, double bx, double by, double cx, double cy) {
    const double xs[3] = {ax, bx, cx}, ys[3] = {ay, by, cy};
    for (int k = 0; k < 3; ++k) {
        const double ux = xs[(k + 1) % 3] - xs[k], uy = ys[(k + 1) % 3] - ys[k];
        const double vx = xs[(k + 2) % 3] - xs[k], vy = ys[(k + 2) % 3] - ys[k];
        const double angle = std::atan2(std::fabs(ux * vy - uy * vx), ux * vx + uy * vy);
        run.smallestAngle = std::min(run.smallestAngle, angle * 180 / kPi);
    }
    run.largestArea =
        std::max(run.largestArea, 0.5 * std::fabs((bx - ax) * (cy - ay) - (by - ay) * (cx - ax)));
    ++run.triangles;
}

Run runOurs(const Domain& d, double angle, double area) {
    const double start = cpuSeconds();
    const EdgeAlgebra::Mesh mesh =
        EdgeAlgebra::refine(d.coords, d.segments, d.holes, {angle, area, false, 0});
    Run run;
    run.seconds = cpuSeconds() - start;
    const std::vector<std::uint32_t>& t = mesh.triangulation.triangles;
    const auto x = [&](std::uint32_t v) { return mesh.coords[2 * std::size_t{v}]; };
    const auto y = [&](std::uint32_t v) { return mesh.coords[2 * std::size_t{v} + 1]; };
    for (std::size_t e = 0; e < t.size(); e += 3) {
        measure(run, x(t[e]), y(t[e]), x(t[e + 1]), y(t[e + 1]), x(t[e + 2]), y(t[e + 2]));
    }
    run.steiner = (mesh.coords.size() - d.coords.size()) / 2;
    return run;
}

#ifdef TESSARO_BENCH_WITH_CGAL
using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using Tds = CGAL::Triangulation_data_structure_2<CGAL::Delaunay_mesh_vertex_base_2<Kernel>,
                                                 CGAL::Delaunay_mesh_face_base_2<Kernel>>;
using Cdt = CGAL::Constrained_Delaunay_triangulation_2<Kernel, Tds>;
using Criteria = CGAL::Delaunay_mesh_size_criteria_2<Cdt>;

Run runCgal(const Domain& d, double angle, double area) {
    const double start = cpuSeconds();
    Cdt cdt;
    std::vector<Cdt::Vertex_handle> vertices;
    for (std::size_t i = 0; i < d.coords.size() / 2; ++i) {
        vertices.push_back(cdt.insert(Cdt::Point(d.coords[2 * i], d.coords[2 * i + 1])));
    }
    for (std::size_t k = 0; k < d.segments.size(); k += 2) {
        cdt.insert_constraint(vertices[d.segments[k]], vertices[d.segments[k + 1]]);
    }
    std::vector<Cdt::Point> seeds;
    for (std::size_t h = 0; h < d.holes.size(); h += 2) {
        seeds.emplace_back(d.holes[h], d.holes[h + 1]);
    }
    // The shape bound is the squared sine of the smallest angle; the size
    // bound the longest edge.
    const double sine = std::sin(angle * kPi / 180);
    const double edge = area > 0 ? std::sqrt(4 * area / std::sqrt(3.0)) : 0.0;
    CGAL::refine_Delaunay_mesh_2(cdt, seeds.begin(), seeds.end(), Criteria(sine * sine, edge));
    Run run;
    run.seconds = cpuSeconds() - start;
    for (auto f = cdt.finite_faces_begin(); f != cdt.finite_faces_end(); ++f) {
        if (f->is_in_domain()) {
            const Cdt::Point &a = f->vertex(0)->point(), &b = f->vertex(1)->point(),
                             &c = f->vertex(2)->point();
            measure(run, a.x(), a.y(), b.x(), b.y(), c.x(), c.y());
        }
    }
    run.steiner = cdt.number_of_vertices() - d.coords.size() / 2;
    return run;
}
#endif

struct Case {
    const char* name;
    Domain domain;
    double angle, area;
};

void writePoly(const std::string& dir, const Case& c) {
    std::ofstream poly(dir + "/" + c.name + ".poly");
    poly.precision(17);
    const Domain& d = c.domain;
    poly << d.coords.size() / 2 << " 2 0 0\n";
    for (std::size_t i = 0; i < d.coords.size() / 2; ++i) {
        poly << i + 1 << ' ' << d.coords[2 * i] << ' ' << d.coords[2 * i + 1] << '\n';
    }
    poly << d.segments.size() / 2 << " 0\n";
    for (std::size_t k = 0; k < d.segments.size() / 2; ++k) {
        poly << k + 1 << ' ' << d.segments[2 * k] + 1 << ' ' << d.segments[2 * k + 1] + 1 << '\n';
    }
    poly << d.holes.size() / 2 << '\n';
    for (std::size_t h = 0; h < d.holes.size() / 2; ++h) {
        poly << h + 1 << ' ' << d.holes[2 * h] << ' ' << d.holes[2 * h + 1] << '\n';
    }
    std::ofstream(dir + "/" + c.name + ".size") << c.area << '\n';
}

void print(const Case& c, const char* mesher, std::vector<Run> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
    const Run& r = runs[runs.size() / 2];
    std::printf("%s\t%s\t%g\t%g\t%.4f\t%zu\t%zu\t%.2f\t%.3g\n", c.name, mesher, c.angle, c.area,
                r.seconds, r.triangles, r.steiner, r.smallestAngle, r.largestArea);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const std::vector<Case> cases{
        {"plate", MeshDomains::plate(64), 20.7, 1e-5},
        {"plate-fine", MeshDomains::plate(64), 20.7, 1e-6},
        {"plate-33", MeshDomains::plate(64), 33.0, 1e-5},
        {"comb", MeshDomains::comb(20, 5.0), 20.7, 1e-3},
        {"coastline", MeshDomains::coastline(6), 20.7, 1e-5},
    };
    for (const Case& c : cases) {
        if (argc > 2) {
            writePoly(argv[2], c);
        }
        std::vector<Run> ours, cgal;
        for (int k = 0; k < repetitions; ++k) {
            ours.push_back(runOurs(c.domain, c.angle, c.area));
#ifdef TESSARO_BENCH_WITH_CGAL
            cgal.push_back(runCgal(c.domain, c.angle, c.area));
#endif
        }
        print(c, "tessaro", ours);
        if (!cgal.empty()) {
            print(c, "CGAL", cgal);
        }
    }
}
