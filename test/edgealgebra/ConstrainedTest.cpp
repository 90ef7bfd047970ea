// Constrained triangulations checked against the exact oracle: the segments
// are there, every other edge is locally Delaunay, and the triangles fill the
// convex hull exactly; and the domains that keepEnclosed carves out of them.
#include "ExactOracle.h"
#include "SiteSets.h"
#include "edgealgebra/KeepEnclosed.h"
#include "edgealgebra/Triangulate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <stdexcept>
#include <string>

using EdgeAlgebra::kNone;
using EdgeAlgebra::Triangulation;

namespace {

std::size_t next(std::size_t e) {
    return e % 3 == 2 ? e - 2 : e + 1;
}

PointD at(const std::vector<float>& coords, std::uint32_t i) {
    return {coords[2 * i], coords[2 * i + 1]};
}

mpq_class doubleArea(const PointD& a, const PointD& b, const PointD& c) {
    const mpq_class ax(a.x), ay(a.y), bx(b.x), by(b.y), cx(c.x), cy(c.y);
    return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
}

// Twice the area of the convex hull of the given sites (a monotone chain on
// exact predicates).
mpq_class hullDoubleArea(const std::vector<float>& coords, std::set<std::uint32_t> used) {
    std::vector<std::uint32_t> sites(used.begin(), used.end());
    std::sort(sites.begin(), sites.end(), [&coords](std::uint32_t a, std::uint32_t b) {
        return std::make_pair(coords[2 * a], coords[2 * a + 1]) <
               std::make_pair(coords[2 * b], coords[2 * b + 1]);
    });
    std::vector<std::uint32_t> hull;
    for (int pass = 0; pass < 2; ++pass) {
        const std::size_t base = hull.size();
        for (const std::uint32_t s : sites) {
            while (hull.size() >= base + 2 &&
                   exactOrientationSign(at(coords, hull[hull.size() - 2]), at(coords, hull.back()),
                                        at(coords, s)) <= 0) {
                hull.pop_back();
            }
            hull.push_back(s);
        }
        hull.pop_back();
        std::reverse(sites.begin(), sites.end());
    }
    mpq_class area = 0;
    for (std::size_t i = 1; i + 1 < hull.size(); ++i) {
        area += doubleArea(at(coords, hull[0]), at(coords, hull[i]), at(coords, hull[i + 1]));
    }
    return area;
}

// Whether the constrained edges join a to b along the segment between them.
bool chainJoins(const std::vector<float>& coords,
                const std::map<std::uint32_t, std::set<std::uint32_t>>& constrained,
                std::uint32_t a, std::uint32_t b) {
    const PointD pa = at(coords, a), pb = at(coords, b);
    std::set<std::uint32_t> seen{a};
    std::vector<std::uint32_t> pending{a};
    while (!pending.empty()) {
        const std::uint32_t v = pending.back();
        pending.pop_back();
        if (v == b) {
            return true;
        }
        const auto found = constrained.find(v);
        if (found == constrained.end()) {
            continue;
        }
        for (const std::uint32_t w : found->second) {
            const PointD pw = at(coords, w);
            const bool onSegment = exactOrientationSign(pa, pb, pw) == 0 &&
                                   std::min(pa.x, pb.x) <= pw.x && pw.x <= std::max(pa.x, pb.x) &&
                                   std::min(pa.y, pb.y) <= pw.y && pw.y <= std::max(pa.y, pb.y);
            if (onSegment && seen.insert(w).second) {
                pending.push_back(w);
            }
        }
    }
    return false;
}

// Everything a constrained Delaunay triangulation of the convex hull must be.
void expectConstrainedDelaunay(const Triangulation& t, const std::vector<float>& coords,
                               const std::vector<std::uint32_t>& segments) {
    ASSERT_EQ(t.constrained.size(), t.triangles.size());
    std::map<std::uint32_t, std::set<std::uint32_t>> constrained;
    mpq_class area = 0;
    std::size_t faults = 0;
    for (std::size_t e = 0; e < t.triangles.size(); ++e) {
        const PointD a = at(coords, t.triangles[e]), b = at(coords, t.triangles[next(e)]),
                     c = at(coords, t.triangles[next(next(e))]);
        if (e % 3 == 0) {
            area += doubleArea(a, b, c);
            faults += exactOrientationSign(a, b, c) <= 0;
        }
        const std::uint32_t opposite = t.halfedges[e];
        if (opposite != kNone && t.constrained[opposite] != t.constrained[e]) {
            ++faults;
        }
        if (t.constrained[e] != 0) {
            constrained[t.triangles[e]].insert(t.triangles[next(e)]);
            constrained[t.triangles[next(e)]].insert(t.triangles[e]);
        } else if (opposite != kNone) {
            const PointD far = at(coords, t.triangles[next(next(opposite))]);
            faults += exactInCircleSign(a, b, c, far) > 0;
        }
    }
    EXPECT_EQ(faults, 0u) << "clockwise triangles, unpaired flags or non-Delaunay edges";
    EXPECT_EQ(area, hullDoubleArea(coords, {t.triangles.begin(), t.triangles.end()}));
    for (std::size_t k = 0; k + 1 < segments.size(); k += 2) {
        EXPECT_TRUE(chainJoins(coords, constrained, segments[k], segments[k + 1]))
            << "segment " << k / 2 << " is not a chain of edges";
    }
}

// A random simple polygon through all sites (ordered by angle around their
// centroid), and a random tree: every site joined to one centre. Both are
// segments that do not cross and that cross many Delaunay edges.
std::vector<std::uint32_t> starPolygon(const std::vector<float>& coords) {
    const std::size_t n = coords.size() / 2;
    double cx = 0, cy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        cx += coords[2 * i] / static_cast<double>(n);
        cy += coords[2 * i + 1] / static_cast<double>(n);
    }
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    const auto angle = [&](std::uint32_t i) {
        return std::atan2(coords[2 * i + 1] - cy, coords[2 * i] - cx);
    };
    std::sort(order.begin(), order.end(),
              [&](std::uint32_t a, std::uint32_t b) { return angle(a) < angle(b); });
    std::vector<std::uint32_t> segments;
    for (std::size_t k = 0; k < n; ++k) {
        segments.push_back(order[k]);
        segments.push_back(order[(k + 1) % n]);
    }
    return segments;
}

TEST(Constrained, SegmentsStayAndEverythingElseIsDelaunay) {
    std::mt19937 rng(21);
    for (std::size_t n : {20u, 200u, 600u}) {
        SCOPED_TRACE(n);
        const std::vector<float> coords = flat(SiteFamilies::randomGrid(n, rng));
        const std::vector<std::uint32_t> polygon = starPolygon(coords);
        expectConstrainedDelaunay(EdgeAlgebra::triangulate(coords, polygon), coords, polygon);
        std::vector<std::uint32_t> tree;
        for (std::uint32_t i = 1; i < n; ++i) {
            tree.insert(tree.end(), {0u, i});
        }
        expectConstrainedDelaunay(EdgeAlgebra::triangulate(coords, tree), coords, tree);
    }
    // Cocircular sites everywhere, and segments given twice, both ways round.
    const std::vector<float> lattice = flat(SiteFamilies::lattice(12, 12));
    const std::vector<std::uint32_t> diagonals{0, 143, 11, 132, 5, 138, 143, 0};
    EXPECT_THROW(EdgeAlgebra::triangulate(lattice, diagonals), std::invalid_argument);
    const std::vector<std::uint32_t> zigzag{0, 13, 13, 2, 2, 139, 139, 0, 0, 13};
    expectConstrainedDelaunay(EdgeAlgebra::triangulate(lattice, zigzag), lattice, zigzag);
}

// A segment exactly through other sites becomes a chain; a site that it
// passes by a hair stays off it.
TEST(Constrained, SegmentsThroughAndNearlyThroughSites) {
    const float hair = std::nextafter(2.0f, 3.0f);
    const std::vector<float> coords{0, 0, 4, 4, 1, 1, 3, 3, 2, hair, 0, 4, 4, 0, 2, 2.5f};
    const std::vector<std::uint32_t> diagonal{0, 1};
    const Triangulation t = EdgeAlgebra::triangulate(coords, diagonal);
    expectConstrainedDelaunay(t, coords, diagonal);
    std::set<std::pair<std::uint32_t, std::uint32_t>> onSegment;
    for (std::size_t e = 0; e < t.triangles.size(); ++e) {
        if (t.constrained[e] != 0) {
            onSegment.emplace(t.triangles[e], t.triangles[next(e)]);
        }
    }
    using Edges = std::set<std::pair<std::uint32_t, std::uint32_t>>;
    EXPECT_EQ(onSegment, (Edges{{0, 2}, {2, 0}, {2, 3}, {3, 2}, {3, 1}, {1, 3}}));
}

TEST(Constrained, BadSegmentsAreRefusedWithNothingBuilt) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // A square's corners, a site inside, one not finite, one on a corner.
    const std::vector<float> coords{0, 0, 4, 0, 4, 4, 0, 4, 1, 2, nan, 1, 4, 0};
    // Crossing segments come as CrossingSegments with both positions.
    const struct {
        std::vector<std::uint32_t> segments;
        std::string message;
        std::vector<std::uint32_t> crossing;
    } cases[] = {
        {{0, 1, 2},
         "triangulate: segments holds pairs of site indices, but its length (3) is odd",
         {}},
        {{0, 1, 2, 7}, "triangulate: segment 1 names site 7, but there are only 7 sites", {}},
        {{0, 5},
         "triangulate: segment 0 ends at site 5, which has a coordinate that is not finite",
         {}},
        {{0, 1, 1, 6},
         "triangulate: segment 1 has both ends at the same point (sites 1 and 6)",
         {}},
        {{3, 3}, "triangulate: segment 0 has both ends at the same point (sites 3 and 3)", {}},
        {{0, 2, 1, 3}, "triangulate: segments 0 and 1 cross", {0, 1}},
        // Touching at a site is fine; the diagonals cross between sites.
        {{1, 3, 0, 1, 4, 3, 0, 2}, "triangulate: segments 0 and 3 cross", {0, 3}},
    };
    for (const auto& c : cases) {
        try {
            EdgeAlgebra::triangulate(coords, c.segments);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const std::invalid_argument& error) {
            EXPECT_EQ(error.what(), c.message);
            using Positions = std::vector<std::uint32_t>;
            const auto* crossing = dynamic_cast<const EdgeAlgebra::CrossingSegments*>(&error);
            const Positions positions = crossing == nullptr
                                            ? Positions{}
                                            : Positions{crossing->first(), crossing->second()};
            EXPECT_EQ(positions, c.crossing) << c.message;
        }
    }
}

// A square with a square hole: exactly the frame's area is kept.
TEST(KeepEnclosed, SquareWithASquareHole) {
    const std::vector<float> coords{0, 0, 4, 0, 4, 4, 0, 4, 1, 1, 3, 1, 3, 3, 1, 3, 2, 0.5f};
    const std::vector<std::uint32_t> rings{0, 1, 1, 2, 2, 3, 3, 0, 4, 5, 5, 6, 6, 7, 7, 4};
    for (const std::vector<float>& holes :
         {std::vector<float>{2, 2}, std::vector<float>{1.5f, 2.9f}}) {
        Triangulation t = EdgeAlgebra::triangulate(coords, rings);
        EdgeAlgebra::keepEnclosed(t, coords, holes);
        mpq_class area = 0;
        for (std::size_t e = 0; e < t.triangles.size(); e += 3) {
            area += doubleArea(at(coords, t.triangles[e]), at(coords, t.triangles[e + 1]),
                               at(coords, t.triangles[e + 2]));
        }
        EXPECT_EQ(area, 2 * (16 - 4));
        EXPECT_TRUE(t.hull.empty());
        for (std::size_t e = 0; e < t.halfedges.size(); ++e) {
            // The new boundary is exactly the segments.
            EXPECT_EQ(t.halfedges[e] == kNone, t.constrained[e] != 0);
            if (t.halfedges[e] != kNone) {
                EXPECT_EQ(t.halfedges[t.halfedges[e]], e);
            }
        }
    }
    Triangulation open = EdgeAlgebra::triangulate(coords);
    EdgeAlgebra::keepEnclosed(open, coords, {});
    EXPECT_TRUE(open.triangles.empty()) << "without segments nothing is enclosed";
    EXPECT_THROW(EdgeAlgebra::keepEnclosed(open, coords, {1}), std::invalid_argument);
}

} // namespace
