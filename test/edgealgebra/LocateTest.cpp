// Locator checked against brute force with exact arithmetic: the lowest
// triangle whose closed area holds the query, and the lowest-numbered nearest
// site, over random and degenerate site sets, with queries on sites, on edges,
// on the hull and beyond, and in carved holes; single queries and batches on
// several thread counts must agree.
#include "ExactOracle.h"
#include "SiteSets.h"

#include <edgealgebra/KeepEnclosed.h>
#include <edgealgebra/Locate.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using EdgeAlgebra::kNone;
using EdgeAlgebra::Triangulation;

PointD point(const std::vector<double>& xy, std::uint32_t site) {
    return {xy[2 * std::size_t{site}], xy[2 * std::size_t{site} + 1]};
}

std::uint32_t bruteFind(const Triangulation& t, const std::vector<double>& xy, PointD q) {
    for (std::uint32_t e = 0; e < t.triangles.size(); e += 3) {
        bool holds = true;
        for (std::uint32_t k = 0; k < 3; ++k) {
            holds = holds && exactOrientationSign(point(xy, t.triangles[e + k]),
                                                  point(xy, t.triangles[e + (k + 1) % 3]), q) >= 0;
        }
        if (holds) {
            return e / 3;
        }
    }
    return kNone;
}

// Candidates: the corners of the triangles, or the hull when there are none.
std::uint32_t bruteNearest(const Triangulation& t, const std::vector<double>& xy, PointD q) {
    std::uint32_t best = kNone;
    for (const std::uint32_t s : t.triangles.empty() ? t.hull : t.triangles) {
        const int order = best == kNone ? -1 : exactDistanceOrder(q, point(xy, s), point(xy, best));
        best = order < 0 || (order == 0 && s < best) ? s : best;
    }
    return best;
}

// Every site, every edge's midpoint, points beyond the hull and random ones.
std::vector<double> queriesFor(const Triangulation& t, const std::vector<double>& xy,
                               std::mt19937& rng) {
    std::vector<double> q(xy);
    for (std::size_t e = 0; e < t.triangles.size(); ++e) {
        const PointD a = point(xy, t.triangles[e]),
                     b = point(xy, t.triangles[EdgeAlgebra::nextHalfedge(e)]);
        q.insert(q.end(), {(a.x + b.x) / 2, (a.y + b.y) / 2});
    }
    std::uniform_real_distribution<double> coordinate(-5, 5);
    for (int k = 0; k < 200; ++k) {
        q.push_back(coordinate(rng));
    }
    q.insert(q.end(), {1e30, 0, -4, -4, 4, 4, 0, 0});
    return q;
}

void expectExact(const std::string& name, const Triangulation& t, const std::vector<double>& xy,
                 std::mt19937& rng) {
    const EdgeAlgebra::Locator locator(t, xy);
    const std::vector<double> q = queriesFor(t, xy, rng);
    const std::vector<std::uint32_t> found = locator.find(q, 1);
    const std::vector<std::uint32_t> nearest = locator.nearest(q, 1);
    EXPECT_EQ(locator.find(q, 3), found) << name;
    EXPECT_EQ(locator.nearest(q, 3), nearest) << name;
    for (std::size_t i = 0; i < q.size() / 2; ++i) {
        const PointD p{q[2 * i], q[2 * i + 1]};
        ASSERT_EQ(found[i], bruteFind(t, xy, p)) << name << " find " << p.x << ' ' << p.y;
        ASSERT_EQ(found[i], locator.find(p.x, p.y)) << name;
        ASSERT_EQ(nearest[i], bruteNearest(t, xy, p)) << name << " nearest " << p.x << ' ' << p.y;
    }
}

std::vector<double> doubles(const Coordinates& c) {
    const std::vector<float> f = flat(c);
    return {f.begin(), f.end()};
}

TEST(Locator, AgreesWithBruteForceOnRandomAndDegenerateSites) {
    std::mt19937 rng(21);
    const std::pair<const char*, Coordinates> sets[] = {
        {"random grid", SiteFamilies::randomGrid(60, rng)},
        {"duplicates", SiteFamilies::withDuplicates(60, 8, rng)},
        {"lattice", SiteFamilies::lattice(6, 5)},
        {"circle with centre", SiteFamilies::exactCircle(true)},
        {"circle, ties at its centre", SiteFamilies::exactCircle(false)},
        {"collinear", SiteFamilies::collinear(40, rng)},
        {"vertical lines", SiteFamilies::verticalLines(60, 3, rng)},
        {"one site", Coordinates{{1, 1}}},
    };
    for (const auto& [name, sites] : sets) {
        const std::vector<double> xy = doubles(sites);
        const Triangulation t = EdgeAlgebra::triangulate(xy);
        expectExact(name, t, xy, rng);
        // The same sites given as floats: the same answers.
        const std::vector<double> q = queriesFor(t, xy, rng);
        EXPECT_EQ(EdgeAlgebra::Locator(t, flat(sites)).find(q), EdgeAlgebra::Locator(t, xy).find(q))
            << name;
    }
}

// Segments make the triangulation non-Delaunay; carving leaves holes and
// inlets that a walk cannot cross; nearest answers only the kept sites.
TEST(Locator, SegmentsAndCarvedDomains) {
    std::mt19937 rng(5);
    // A frame with a square hole and a notch, and loose sites in the hole.
    const std::vector<double> xy{0, 0, 4, 0, 4, 4, 2, 2.5, 0,   4,   1,
                                 1, 3, 1, 3, 2, 1, 2, 2,   1.5, 1.5, 1.25};
    const std::vector<std::uint32_t> rings{0, 1, 1, 2, 2, 3, 3, 4, 4, 0, 5, 6, 6, 7, 7, 8, 8, 5};
    Triangulation t = EdgeAlgebra::triangulate(xy, rings);
    expectExact("constrained", t, xy, rng);
    EdgeAlgebra::keepEnclosed(t, xy, {2, 1.5});
    expectExact("carved", t, xy, rng);
    const EdgeAlgebra::Locator locator(t, xy);
    EXPECT_EQ(locator.find(2, 1.5), kNone); // in the hole
    EXPECT_EQ(locator.find(2, 3), kNone);   // in the notch
    EXPECT_EQ(locator.nearest(2, 1.5), 3u); // not the carved-away site 9 there
    EXPECT_NE(locator.find(2, 1), kNone);   // on the hole's edge
}

TEST(Locator, RefusesBadArrays) {
    const std::vector<double> xy{0, 0, 1, 0, 0, 1};
    Triangulation t = EdgeAlgebra::triangulate(xy);
    EXPECT_THROW(EdgeAlgebra::Locator(t, std::vector<double>{0, 0, 1}), std::invalid_argument);
    EXPECT_THROW(EdgeAlgebra::Locator(t, std::vector<double>{0, 0, 1, 0}), std::invalid_argument);
    const EdgeAlgebra::Locator locator(t, xy);
    EXPECT_THROW(locator.find(std::vector<double>{0, 0, 1}), std::invalid_argument);
    t.halfedges.pop_back();
    EXPECT_THROW(EdgeAlgebra::Locator(t, xy), std::invalid_argument);
}

} // namespace
