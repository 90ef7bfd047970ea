// Refined meshes checked exactly: the triangles turn counterclockwise and
// fill the domain keepEnclosed gives, every edge off the segments is locally
// Delaunay, every input segment is a chain of pieces, the angles and areas
// meet the bounds, and the input sites stay where they were.
#include "edgealgebra/Refine.h"
#include "ExactOracle.h"
#include "MeshDomains.h"
#include "edgealgebra/KeepEnclosed.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <stdexcept>
#include <string>

using EdgeAlgebra::kNone;
using EdgeAlgebra::Mesh;
using EdgeAlgebra::nextHalfedge;
using EdgeAlgebra::prevHalfedge;
using EdgeAlgebra::Quality;

namespace {

constexpr double kPi = 3.14159265358979323846;
// Angles are measured in long double on the rounded coordinates: a bound
// met to within this many degrees counts as met.
constexpr double kAngleTolerance = 1e-6;

PointD at(const std::vector<double>& coords, std::uint32_t v) {
    return {coords[2 * std::size_t{v}], coords[2 * std::size_t{v} + 1]};
}

mpq_class doubleArea(PointD a, PointD b, PointD c) {
    const mpq_class ax(a.x), ay(a.y);
    return (mpq_class(b.x) - ax) * (mpq_class(c.y) - ay) -
           (mpq_class(b.y) - ay) * (mpq_class(c.x) - ax);
}

long double smallestAngle(PointD a, PointD b, PointD c) {
    const auto angle = [](PointD p, PointD q, PointD r) {
        const long double ux = q.x - p.x, uy = q.y - p.y, vx = r.x - p.x, vy = r.y - p.y;
        return std::atan2(std::fabs(ux * vy - uy * vx), ux * vx + uy * vy);
    };
    return std::min({angle(a, b, c), angle(b, c, a), angle(c, a, b)}) * 180 / kPi;
}

// Whether two input segments meet at under 60 degrees somewhere.
bool hasSharpCorner(const Domain& d) {
    const std::size_t n = d.segments.size() / 2;
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            for (int si = 0; si < 2; ++si) {
                for (int sj = 0; sj < 2; ++sj) {
                    const std::uint32_t c = d.segments[2 * i + si];
                    if (c != d.segments[2 * j + sj]) {
                        continue;
                    }
                    const PointD o = at(d.coords, c), p = at(d.coords, d.segments[2 * i + 1 - si]),
                                 q = at(d.coords, d.segments[2 * j + 1 - sj]);
                    if (smallestAngle(o, p, q) < 60 &&
                        (p.x - o.x) * (q.x - o.x) + (p.y - o.y) * (q.y - o.y) > 0) {
                        return true;
                    }
                }
            }
        }
    }
    return false;
}

void expectQualityMesh(const Mesh& m, const Domain& d, const Quality& q) {
    const EdgeAlgebra::Triangulation& t = m.triangulation;
    ASSERT_EQ(t.constrained.size(), t.triangles.size());
    ASSERT_GE(m.coords.size(), d.coords.size());
    EXPECT_TRUE(std::equal(d.coords.begin(), d.coords.end(), m.coords.begin()))
        << "input sites moved";
    // The domain's area, from the triangulation of the input alone.
    EdgeAlgebra::Triangulation domain = EdgeAlgebra::triangulate(d.coords, d.segments);
    if (!(q.convexHull && d.holes.empty()) && !d.segments.empty()) {
        EdgeAlgebra::keepEnclosed(domain, d.coords, d.holes);
    }
    mpq_class domainArea = 0, area = 0;
    for (std::size_t e = 0; e < domain.triangles.size(); e += 3) {
        domainArea +=
            doubleArea(at(d.coords, domain.triangles[e]), at(d.coords, domain.triangles[e + 1]),
                       at(d.coords, domain.triangles[e + 2]));
    }
    std::size_t faults = 0, small = 0;
    std::set<std::pair<std::uint32_t, std::uint32_t>> constrained;
    for (std::size_t e = 0; e < t.triangles.size(); ++e) {
        const PointD a = at(m.coords, t.triangles[e]),
                     b = at(m.coords, t.triangles[nextHalfedge(e)]),
                     c = at(m.coords, t.triangles[prevHalfedge(e)]);
        if (e % 3 == 0) {
            const mpq_class twice = doubleArea(a, b, c);
            area += twice;
            faults += sgn(twice) <= 0;
            faults += q.maxArea > 0 && twice > 2 * q.maxArea * (1 + 1e-9);
            small += smallestAngle(a, b, c) < q.minAngle - kAngleTolerance;
        }
        const std::uint32_t twin = t.halfedges[e];
        if (twin != kNone) {
            faults += t.halfedges[twin] != e || t.constrained[twin] != t.constrained[e] ||
                      t.triangles[twin] != t.triangles[nextHalfedge(e)];
            if (t.constrained[e] == 0) {
                faults +=
                    exactInCircleSign(a, b, c, at(m.coords, t.triangles[prevHalfedge(twin)])) > 0;
            }
        }
        if (t.constrained[e] != 0) {
            constrained.emplace(t.triangles[e], t.triangles[nextHalfedge(e)]);
        }
    }
    EXPECT_EQ(faults, 0u) << "clockwise, unpaired, too large or non-Delaunay triangles";
    // Split points on slanted segments are rounded off them by a hair.
    EXPECT_LE(abs(area - domainArea), domainArea * 1e-12);
    EXPECT_EQ(small, m.forcedSmallAngles);
    // A sharp corner of the hull forces small angles too.
    if (!q.convexHull && !d.segments.empty() && !hasSharpCorner(d)) {
        EXPECT_EQ(small, 0u);
    }
    // Each input segment: its pieces, in order, join its ends along it.
    std::size_t pieces = 0;
    for (std::uint32_t s = 0; 2 * s < d.segments.size(); ++s) {
        const PointD a = at(d.coords, d.segments[2 * s]), b = at(d.coords, d.segments[2 * s + 1]);
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        std::uint32_t reached = d.segments[2 * s];
        for (std::size_t k = 0; k < m.segments.size(); k += 3) {
            if (m.segments[k + 2] != s) {
                continue;
            }
            ++pieces;
            EXPECT_EQ(m.segments[k], reached) << "segment " << s << " is broken";
            reached = m.segments[k + 1];
            const PointD p = at(m.coords, reached);
            const double off = ((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)) / length;
            EXPECT_LE(std::fabs(off), 1e-12 * length) << "a piece's end is off segment " << s;
            EXPECT_TRUE(constrained.count({m.segments[k], reached}) != 0 ||
                        constrained.count({reached, m.segments[k]}) != 0);
        }
        EXPECT_EQ(reached, d.segments[2 * s + 1]) << "segment " << s << " ends early";
    }
    // Both sides of an inner piece are flagged, one side of a boundary piece.
    std::size_t flaggedEdges = 0;
    for (const auto& [from, to] : constrained) {
        flaggedEdges += from < to || constrained.count({to, from}) == 0;
    }
    EXPECT_EQ(flaggedEdges, pieces);
}

struct Case {
    const char* name;
    Domain domain;
    Quality quality;
};

TEST(Refine, MeshesMeetTheBoundsExactly) {
    std::mt19937 rng(20);
    std::vector<Case> cases{
        {"plate 20.7", MeshDomains::plate(8), {20.7, 0.0, false, 0}},
        {"plate 33 with areas", MeshDomains::plate(12), {33.0, 0.002, false, 0}},
        {"comb of 5-degree teeth", MeshDomains::comb(4, 5.0), {20.7, 0.0, false, 0}},
        {"comb at 30 with areas", MeshDomains::comb(3, 5.0), {30.0, 0.5, false, 0}},
        {"coastline", MeshDomains::coastline(3), {30.0, 0.0, false, 0}},
        {"1-degree wedge at 33", MeshDomains::wedge(1.0), {33.0, 0.001, false, 0}},
        {"hull of the plate", MeshDomains::plate(6), {25.0, 0.01, true, 0}},
        {"no angle bound", MeshDomains::coastline(2), {0.0, 0.001, false, 0}},
        // Right-angled triangles whose circumcentres fall exactly on a segment.
        {"square",
         {{-4, 12, -2, 12, -2, 14, -4, 14}, {0, 1, 1, 2, 2, 3, 3, 0}, {}},
         {30, 0.5, false, 0}},
    };
    for (int k = 0; k < 12; ++k) {
        cases.push_back({"random polygon with holes",
                         MeshDomains::randomPolygonWithHoles(12 + 4 * k, rng),
                         {28.0, k % 2 ? 0.01 : 0.0, false, 0}});
    }
    // Sites alone, without segments: the hull is meshed.
    Domain scatter;
    for (int k = 0; k < 60; ++k) {
        scatter.coords.push_back(std::uniform_real_distribution<double>(-1, 1)(rng));
    }
    cases.push_back({"sites alone", scatter, {30.0, 0.0, false, 0}});
    scatter.segments = {0, 1};
    cases.push_back({"sites and a segment, whole hull", scatter, {30.0, 0.0, true, 0}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Mesh m =
            EdgeAlgebra::refine(c.domain.coords, c.domain.segments, c.domain.holes, c.quality);
        EXPECT_GT(m.coords.size(), c.domain.coords.size());
        expectQualityMesh(m, c.domain, c.quality);
    }
}

TEST(Refine, FloatSitesGiveTheDoubleMesh) {
    const Domain d = MeshDomains::comb(3, 10.0);
    const std::vector<float> coords(d.coords.begin(), d.coords.end());
    const Mesh fromFloat = EdgeAlgebra::refine(coords, d.segments, {}, {25.0});
    const Mesh fromDouble = EdgeAlgebra::refine(std::vector<double>(coords.begin(), coords.end()),
                                                d.segments, {}, {25.0});
    EXPECT_EQ(fromFloat.coords, fromDouble.coords);
    EXPECT_EQ(fromFloat.triangulation.triangles, fromDouble.triangulation.triangles);
}

TEST(Refine, BadOptionsAndRunawayBoundsAreRefused) {
    const Domain d = MeshDomains::plate(8);
    const double nan = std::nan("");
    for (const Quality& bad :
         {Quality{-1.0}, Quality{nan}, Quality{60.0}, Quality{20.0, -1.0}, Quality{20.0, nan}}) {
        EXPECT_THROW(EdgeAlgebra::refine(d.coords, d.segments, d.holes, bad),
                     std::invalid_argument);
    }
    EXPECT_THROW(EdgeAlgebra::refine(d.coords, d.segments, {0.5}, {}), std::invalid_argument);
    EXPECT_THROW(EdgeAlgebra::refine(d.coords, {0, 2, 1, 3}, {}, {}), std::invalid_argument);
    try {
        EdgeAlgebra::refine(d.coords, d.segments, d.holes, {20.0, 1e-4, false, 50});
        ADD_FAILURE() << "no bound reached";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("maxSteiner = 50"), std::string::npos);
    }
    // An angle bound that cannot be met stops at the bound, never loops.
    EXPECT_THROW(EdgeAlgebra::refine(d.coords, d.segments, d.holes, {59.0, 0, false, 20000}),
                 std::runtime_error);
}

} // namespace
