// The flat front door against the quad-edge triangulator on the same sites:
// the same triangles, and arrays that keep delaunator's conventions.
#include "edgealgebra/Triangulate.h"
#include "ExactOracle.h"
#include "SiteSets.h"
#include "edgealgebra/DelaunayTriangulation.h"
#include "edgealgebra/EdgeWalker.h"
#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/Tile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <stdexcept>
#include <string>

using EdgeAlgebra::kNone;
using EdgeAlgebra::Site;
using EdgeAlgebra::Triangulation;

namespace {

using Point = std::pair<float, float>;
using Triangle = std::array<Point, 3>;

// Counterclockwise, starting at the smallest corner.
Triangle normalised(Triangle t) {
    std::rotate(t.begin(), std::min_element(t.begin(), t.end()), t.end());
    return t;
}

// The bounded faces of the quad-edge triangulator's result.
std::set<Triangle> trianglesOfTriangulator(const Coordinates& coordinates) {
    SiteSet sites(coordinates);
    EdgeAlgebra::DelaunayTriangulation triangulation(sites.sorted());
    std::set<Triangle> result;
    for (const auto& entry : EdgeAlgebra::EdgeWalker(triangulation.getLeftEdge()).getEdges()) {
        for (EdgeAlgebra::QuadEdge* e : {entry.first, entry.first->sym()}) {
            EdgeAlgebra::QuadEdge* second = e->lnext();
            EdgeAlgebra::QuadEdge* third = second->lnext();
            if (third->lnext() == e && e->org()->ccw(e->dest(), third->org())) {
                const auto at = [](const Site* s) { return Point(s->x, s->y); };
                result.insert(normalised({at(e->org()), at(e->dest()), at(third->org())}));
            }
        }
    }
    return result;
}

std::size_t next(std::size_t e) {
    return e % 3 == 2 ? e - 2 : e + 1;
}

// Checks the arrays' own conventions; returns the triangles as points.
std::set<Triangle> checkedTriangles(const Triangulation& t, const std::vector<float>& coords) {
    const auto site = [&coords](std::uint32_t i) { return Site(coords[2 * i], coords[2 * i + 1]); };
    EXPECT_EQ(t.triangles.size() % 3, 0u);
    EXPECT_EQ(t.halfedges.size(), t.triangles.size());
    std::set<Triangle> result;
    std::map<std::uint32_t, std::uint32_t> hullSuccessor;
    for (std::size_t e = 0; e < t.triangles.size(); ++e) {
        const std::uint32_t from = t.triangles[e], to = t.triangles[next(e)];
        const std::uint32_t opposite = t.halfedges[e];
        if (opposite == kNone) {
            EXPECT_TRUE(hullSuccessor.emplace(from, to).second) << "two hull edges out of " << from;
        } else {
            EXPECT_EQ(t.halfedges[opposite], e);
            EXPECT_EQ(t.triangles[opposite], to);
            EXPECT_EQ(t.triangles[next(opposite)], from);
        }
        if (e % 3 == 0) {
            const Site a = site(t.triangles[e]), b = site(t.triangles[e + 1]),
                       c = site(t.triangles[e + 2]);
            EXPECT_TRUE(a.ccw(&b, &c)) << "triangle " << e / 3 << " not counterclockwise";
            result.insert(normalised({Point(a.x, a.y), Point(b.x, b.y), Point(c.x, c.y)}));
        }
    }
    // The hull edges close into one cycle that runs through the hull in order.
    if (!t.triangles.empty()) {
        EXPECT_EQ(hullSuccessor.size(), t.hull.size());
        for (std::size_t i = 0; i < t.hull.size(); ++i) {
            EXPECT_EQ(hullSuccessor[t.hull[i]], t.hull[(i + 1) % t.hull.size()]);
        }
    }
    return result;
}

// Every interior edge locally Delaunay and every triangle counterclockwise,
// decided by the independent exact oracle on the doubles themselves: the
// triangulation of the convex hull is then the Delaunay triangulation. Ties
// are held to the canonical rule (the far site strictly outside under the
// perturbation), which makes that triangulation the canonical one.
template <typename Coordinate>
void expectExactlyDelaunay(const Triangulation& t, const std::vector<Coordinate>& coords) {
    const auto point = [&coords](std::uint32_t i) {
        return PointD{coords[2 * i], coords[2 * i + 1]};
    };
    std::size_t faults = 0;
    for (std::size_t e = 0; e < t.triangles.size(); ++e) {
        const PointD a = point(t.triangles[e]), b = point(t.triangles[next(e)]),
                     c = point(t.triangles[next(next(e))]);
        faults += exactOrientationSign(a, b, c) <= 0;
        if (t.halfedges[e] != kNone) {
            const PointD far = point(t.triangles[next(next(t.halfedges[e]))]);
            faults += canonicalInCircleSign(a, b, c, far) >= 0;
        }
    }
    EXPECT_EQ(faults, 0u);
}

struct Family {
    std::string name;
    Coordinates sites;
    // Four or more sites cocircular with an empty circle: the flat arrays
    // break the tie canonically, the quad-edge triangulator by its own rule.
    bool cocircular = false;
};

std::vector<Family> families() {
    std::mt19937 rng(11);
    Coordinates doubledGrid = SiteFamilies::randomGrid(400, rng);
    const Coordinates copy = doubledGrid;
    doubledGrid.insert(doubledGrid.begin() + 100, copy.begin(), copy.end());
    return {
        {"uniform 1000", SiteFamilies::uniformFloats(1000, rng)},
        {"uniform 40000 (strips)", SiteFamilies::uniformFloats(40000, rng)},
        {"random grid 500", SiteFamilies::randomGrid(500, rng)},
        {"vertical lines", SiteFamilies::verticalLines(300, 3, rng)},
        {"lattice 30 x 30", SiteFamilies::lattice(30, 30), true},
        {"lattice 150 x 150 (strips)", SiteFamilies::lattice(150, 150), true},
        {"exact circle with centre", SiteFamilies::exactCircle(true), true},
        {"float circle 200", SiteFamilies::floatCircle(200, 2.0, 0.0), true},
        {"duplicates", SiteFamilies::withDuplicates(600, 9, rng), true},
        {"doubled grid", doubledGrid},
        {"three sites", {{0, 0}, {1, 0}, {0, 1}}},
    };
}

TEST(Triangulate, SameTrianglesAsTheTriangulatorAndConsistentArrays) {
    for (const Family& family : families()) {
        SCOPED_TRACE(family.name);
        const std::vector<float> coords = flat(family.sites);
        const Triangulation t = EdgeAlgebra::triangulate(coords, 1);
        // The same arrays, value for value, on any number of threads.
        for (unsigned threads : {2u, 5u}) {
            const Triangulation parallel = EdgeAlgebra::triangulate(coords, threads);
            EXPECT_EQ(parallel.triangles, t.triangles) << threads << " threads";
            EXPECT_EQ(parallel.halfedges, t.halfedges) << threads << " threads";
            EXPECT_EQ(parallel.hull, t.hull) << threads << " threads";
        }
        expectExactlyDelaunay(t, coords);
        const std::set<Triangle> expected = trianglesOfTriangulator(family.sites);
        const std::set<Triangle> triangles = checkedTriangles(t, coords);
        EXPECT_EQ(t.triangles.size(), 3 * triangles.size());
        if (!family.cocircular) {
            EXPECT_EQ(triangles, expected);
        } else {
            EXPECT_EQ(triangles.size(), expected.size());
        }
        EXPECT_EQ(t.hull.front(),
                  *std::min_element(t.triangles.begin(), t.triangles.end(),
                                    [&coords](std::uint32_t a, std::uint32_t b) {
                                        return std::make_pair(coords[2 * a], coords[2 * a + 1]) <
                                               std::make_pair(coords[2 * b], coords[2 * b + 1]);
                                    }));
    }
}

// Left-out sites (coincident with an earlier one, or not finite) appear
// nowhere, and the rest is triangulated as if they were not there.
TEST(Triangulate, LeavesOutCoincidentAndNonFiniteSites) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> coords{0, 0, 4,   0, nan, 1, 2, 3, 4, 0,     0,
                                    4, 2, inf, 4, 4,   2, 3, 0, 0, -0.0f, 0};
    const Triangulation t = EdgeAlgebra::triangulate(coords);
    const std::set<std::uint32_t> used(t.triangles.begin(), t.triangles.end());
    EXPECT_EQ(used, (std::set<std::uint32_t>{0, 1, 3, 5, 7}));
    EXPECT_EQ(t.triangles.size(), 12u);
    EXPECT_EQ(t.hull, (std::vector<std::uint32_t>{0, 1, 7, 5}));
}

TEST(Triangulate, CollinearAndTooFewSites) {
    struct Case {
        std::vector<float> coords;
        std::vector<std::uint32_t> hull;
    };
    const Case cases[] = {
        {{}, {}},
        {{1, 2}, {}},
        {{1, 2, 1, 2, 1, 2}, {}},
        {{3, 3, 1, 1}, {1, 0}},
        {{0, 4, 0, 1, 0, 3, 0, 1, 0, 2}, {1, 4, 2, 0}},
        {{2, 2, 0, 0, 3, 3, 1, 1, 4, 4, -1, -1}, {5, 1, 3, 0, 2, 4}},
    };
    for (const Case& c : cases) {
        const Triangulation t = EdgeAlgebra::triangulate(c.coords);
        EXPECT_TRUE(t.triangles.empty());
        EXPECT_TRUE(t.halfedges.empty());
        EXPECT_EQ(t.hull, c.hull);
    }
    std::mt19937 rng(3);
    const Coordinates line = SiteFamilies::collinear(200, rng);
    EXPECT_EQ(EdgeAlgebra::triangulate(flat(line)).hull.size(), line.size());
}

TEST(Triangulate, OddLengthIsRefused) {
    EXPECT_THROW(EdgeAlgebra::triangulate(std::vector<float>{1, 2, 3}), std::invalid_argument);
    EXPECT_THROW(EdgeAlgebra::triangulate(std::vector<double>{1, 2, 3}), std::invalid_argument);
}

// Survey data in projected coordinates: a site every centimetre or so near
// (500000, 4500000), where float would merge sites half a metre apart, and
// points of a circle there, rounded to the centimetre: nearly cocircular.
TEST(TriangulateDouble, KeepsTheUsersCoordinatesExactly) {
    std::mt19937 rng(12);
    std::uniform_int_distribution<int> centimetres(0, 2000);
    std::vector<double> survey;
    for (int i = 0; i < 3000; ++i) {
        survey.push_back(500000.0 + centimetres(rng) / 100.0);
        survey.push_back(4500000.0 + centimetres(rng) / 100.0);
    }
    std::vector<double> circle;
    for (int i = 0; i < 400; ++i) {
        const double angle = 2.0 * 3.14159265358979323846 * i / 400.0;
        circle.push_back(std::round((500000.5 + 3.0 * std::cos(angle)) * 100.0) / 100.0);
        circle.push_back(std::round((4500000.25 + 3.0 * std::sin(angle)) * 100.0) / 100.0);
    }
    std::vector<double> grid; // a centimetre grid: cocircular squares everywhere
    for (int i = 0; i < 30; ++i) {
        for (int j = 0; j < 30; ++j) {
            grid.push_back(500000.12 + i * 0.01);
            grid.push_back(4500000.34 + j * 0.01);
        }
    }
    for (const std::vector<double>* coords : {&survey, &circle, &grid}) {
        const Triangulation t = EdgeAlgebra::triangulate(*coords);
        expectExactlyDelaunay(t, *coords);
        std::set<std::pair<double, double>> distinct;
        for (std::size_t i = 0; i < coords->size(); i += 2) {
            distinct.emplace((*coords)[i], (*coords)[i + 1]);
        }
        // 2m - 2 - h triangles: every distinct site takes part.
        EXPECT_EQ(t.triangles.size(), 3 * (2 * distinct.size() - 2 - t.hull.size()));
    }
}

// On sites that are floats, the double path decides exactly as the float
// path: the same arrays, value for value.
TEST(TriangulateDouble, SameArraysAsTheFloatPathOnFloatSites) {
    for (const Family& family : families()) {
        SCOPED_TRACE(family.name);
        const std::vector<float> coords = flat(family.sites);
        const Triangulation single = EdgeAlgebra::triangulate(coords);
        const Triangulation lifted =
            EdgeAlgebra::triangulate(std::vector<double>(coords.begin(), coords.end()));
        EXPECT_EQ(lifted.triangles, single.triangles);
        EXPECT_EQ(lifted.halfedges, single.halfedges);
        EXPECT_EQ(lifted.hull, single.hull);
    }
}

// The triangles, as points, whose closed circumdisk lies in the closed box.
std::set<Triangle> trianglesWithDiskIn(const Triangulation& t, const std::vector<float>& coords,
                                       const std::array<double, 4>& box) {
    const auto point = [&coords](std::uint32_t i) {
        return Point(coords[2 * i], coords[2 * i + 1]);
    };
    std::set<Triangle> result;
    for (std::size_t e = 0; e < t.triangles.size(); e += 3) {
        const Triangle tri{point(t.triangles[e]), point(t.triangles[e + 1]),
                           point(t.triangles[e + 2])};
        const auto d = [](const Point& p) { return PointD{p.first, p.second}; };
        if (circumdiskInBox(d(tri[0]), d(tri[1]), d(tri[2]), box[0], box[1], box[2], box[3])) {
            result.insert(normalised(tri));
        }
    }
    return result;
}

// One triangulation, decided by the sites alone: the same triangles for every
// order of the input (with segments too), and the same triangles inside any
// window as the triangulation of the window's sites alone.
TEST(Triangulate, CanonicalForEveryOrderAndEveryWindow) {
    std::mt19937 rng(23);
    const Family cases[] = {
        {"integer grid", SiteFamilies::lattice(40, 40)},
        {"integer grid (strips)", SiteFamilies::lattice(130, 130)},
        {"concentric circles", SiteFamilies::concentricCircles()},
        {"random grid", SiteFamilies::randomGrid(800, rng)},
        {"uniform", SiteFamilies::uniformFloats(800, rng)},
    };
    for (const Family& family : cases) {
        SCOPED_TRACE(family.name);
        const std::vector<float> coords = flat(family.sites);
        const Triangulation t = EdgeAlgebra::triangulate(coords);
        expectExactlyDelaunay(t, coords);
        const std::set<Triangle> triangles = checkedTriangles(t, coords);

        Coordinates shuffled = family.sites;
        std::shuffle(shuffled.begin(), shuffled.end(), rng);
        const std::vector<float> shuffledCoords = flat(shuffled);
        EXPECT_EQ(checkedTriangles(EdgeAlgebra::triangulate(shuffledCoords), shuffledCoords),
                  triangles);

        for (int window = 0; window < 6; ++window) {
            // Corners at sites' coordinates, so that sites lie on its sides.
            std::uniform_int_distribution<std::size_t> pick(0, family.sites.size() - 1);
            const Point p = family.sites[pick(rng)], q = family.sites[pick(rng)];
            const std::array<double, 4> box{
                std::min(p.first, q.first), std::min(p.second, q.second),
                std::max(p.first, q.first), std::max(p.second, q.second)};
            Coordinates inside;
            for (const Point& s : shuffled) {
                if (box[0] <= s.first && s.first <= box[2] && box[1] <= s.second &&
                    s.second <= box[3]) {
                    inside.push_back(s);
                }
            }
            const std::vector<float> insideCoords = flat(inside);
            EXPECT_EQ(
                trianglesWithDiskIn(EdgeAlgebra::triangulate(insideCoords), insideCoords, box),
                trianglesWithDiskIn(t, coords, box))
                << "window " << box[0] << ' ' << box[1] << ' ' << box[2] << ' ' << box[3];
        }
    }
    // Segments through cocircular sites: the sides are triangulated by the
    // same rule whatever the order of the sites.
    const Coordinates lattice = SiteFamilies::lattice(12, 12);
    const std::vector<std::uint32_t> zigzag{0, 13, 13, 2, 2, 139, 139, 0};
    std::vector<std::uint32_t> position(lattice.size());
    std::iota(position.begin(), position.end(), 0u);
    std::shuffle(position.begin(), position.end(), rng);
    Coordinates shuffled(lattice.size());
    std::vector<std::uint32_t> shuffledZigzag;
    for (std::size_t i = 0; i < lattice.size(); ++i) {
        shuffled[position[i]] = lattice[i];
    }
    for (const std::uint32_t end : zigzag) {
        shuffledZigzag.push_back(position[end]);
    }
    EXPECT_EQ(
        checkedTriangles(EdgeAlgebra::triangulate(flat(shuffled), shuffledZigzag), flat(shuffled)),
        checkedTriangles(EdgeAlgebra::triangulate(flat(lattice), zigzag), flat(lattice)));
}

// The triangles of the whole triangulation whose centroid (from the lowest
// index on) lies in the half-open tile, as index triples from the lowest.
std::set<std::array<std::int64_t, 3>>
tileShare(const Triangulation& t, const std::vector<float>& coords, const EdgeAlgebra::Box& tile) {
    std::set<std::array<std::int64_t, 3>> share;
    for (std::size_t e = 0; e < t.triangles.size(); e += 3) {
        const std::size_t k =
            std::min_element(&t.triangles[e], &t.triangles[e] + 3) - &t.triangles[e];
        std::array<std::int64_t, 3> tri;
        double cx = 0, cy = 0;
        for (std::size_t j = 0; j < 3; ++j) {
            tri[j] = t.triangles[e + (k + j) % 3];
            cx += coords[2 * tri[j]];
            cy += coords[2 * tri[j] + 1];
        }
        cx /= 3.0;
        cy /= 3.0;
        if (tile.xmin <= cx && cx < tile.xmax && tile.ymin <= cy && cy < tile.ymax) {
            share.insert(tri);
        }
    }
    return share;
}

// A tile triangulated from the sites near it (and the hull) that certifies
// its share of the whole triangulation has it exactly; seeing everything,
// every tile certifies, and the shares make up the whole.
TEST(Triangulate, TilesCertifyOnlyTheirShareOfTheWhole) {
    std::mt19937 rng(7);
    // Dense blobs with empty space between them: obtuse triangles at a blob's
    // rim have disks reaching far past the halo on either side of their edge.
    Coordinates blobs;
    std::normal_distribution<float> spread(0.0f, 0.15f);
    for (int k = 0; k < 3000; ++k) {
        blobs.push_back({float(k % 4 * 2 - 3) + spread(rng), float(k % 3 * 3 - 3) + spread(rng)});
    }
    const Family cases[] = {
        {"integer grid", SiteFamilies::lattice(40, 40)},
        {"concentric circles", SiteFamilies::concentricCircles()},
        {"uniform", SiteFamilies::uniformFloats(3000, rng)},
        {"blobs", blobs},
    };
    constexpr double kInf = std::numeric_limits<double>::infinity();
    for (const Family& family : cases) {
        SCOPED_TRACE(family.name);
        const std::vector<float> coords = flat(family.sites);
        const Triangulation whole = EdgeAlgebra::triangulate(coords);
        std::vector<float> xs, ys;
        for (const Point& p : family.sites) {
            xs.push_back(p.first);
            ys.push_back(p.second);
        }
        const auto [xlo, xhi] = std::minmax_element(xs.begin(), xs.end());
        const auto [ylo, yhi] = std::minmax_element(ys.begin(), ys.end());
        const EdgeAlgebra::Box bounds{*xlo, *ylo, *xhi, *yhi};
        const double cut[] = {-kInf, *xlo + (*xhi - *xlo) / 3, *xlo + 2 * (*xhi - *xlo) / 3, kInf};
        const double cutY[] = {-kInf, *ylo + (*yhi - *ylo) / 3, *ylo + 2 * (*yhi - *ylo) / 3, kInf};
        for (const double margin : {0.01 * (*xhi - *xlo), 0.05 * (*xhi - *xlo), kInf}) {
            std::size_t emitted = 0, certified = 0;
            for (int tile = 0; tile < 9; ++tile) {
                const EdgeAlgebra::Box box{cut[tile % 3], cutY[tile / 3], cut[tile % 3 + 1],
                                           cutY[tile / 3 + 1]};
                EdgeAlgebra::TileWindow window{
                    box,
                    {box.xmin - margin, box.ymin - margin, box.xmax + margin, box.ymax + margin},
                    {},
                    bounds,
                    {}};
                std::vector<float> given;
                std::vector<std::int64_t> ids;
                for (const std::uint32_t h : whole.hull) { // the hull first, as callers do
                    window.hull.push_back(std::uint32_t(ids.size()));
                    given.insert(given.end(), {coords[2 * h], coords[2 * h + 1]});
                    ids.push_back(h);
                }
                for (std::uint32_t i = 0; i < family.sites.size(); ++i) {
                    const Point& p = family.sites[i];
                    if (window.seen.xmin <= p.first && p.first <= window.seen.xmax &&
                        window.seen.ymin <= p.second && p.second <= window.seen.ymax) {
                        given.insert(given.end(), {p.first, p.second});
                        ids.push_back(i);
                    }
                }
                const EdgeAlgebra::TileTriangles kept =
                    EdgeAlgebra::triangulateTile(given.data(), ids.data(), ids.size(), window);
                std::set<std::array<std::int64_t, 3>> share;
                for (std::size_t e = 0; e < kept.triangles.size(); e += 3) {
                    share.insert({ids[kept.triangles[e]], ids[kept.triangles[e + 1]],
                                  ids[kept.triangles[e + 2]]});
                }
                // What a tile keeps and does not doubt is the whole's, always.
                const std::set<std::array<std::int64_t, 3>> expected =
                    tileShare(whole, coords, box);
                std::set<std::array<std::int64_t, 3>> doubted;
                for (const EdgeAlgebra::DoubtfulDisk& d : kept.doubtful) {
                    doubted.insert({ids[d.corners[0]], ids[d.corners[1]], ids[d.corners[2]]});
                }
                for (const auto& triangle : share) {
                    EXPECT_TRUE(doubted.count(triangle) || expected.count(triangle))
                        << "tile " << tile << " keeps " << triangle[0] << " " << triangle[1] << " "
                        << triangle[2];
                }
                if (kept.doubtful.empty()) {
                    EXPECT_EQ(share, expected) << "tile " << tile;
                    emitted += share.size();
                    ++certified;
                }
            }
            if (family.name == "uniform" && margin >= 0.05 * (*xhi - *xlo)) {
                EXPECT_GT(certified, 0u); // the middle tile at least, with a small margin
            }
            if (margin == kInf) {
                EXPECT_EQ(certified, 9u);
                EXPECT_EQ(emitted, whole.triangles.size() / 3);
            }
        }
    }
}

} // namespace
