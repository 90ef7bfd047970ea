// Sites with NaN or infinite coordinates: siteLess stays a strict weak
// ordering (so sorting is safe), and the triangulator leaves such sites out.
#include "SubdivisionAudit.h"
#include "edgealgebra/DelaunayTriangulation.h"
#include "edgealgebra/EdgeWalker.h"
#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/Site.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <set>
#include <vector>

using EdgeAlgebra::DelaunayTriangulation;
using EdgeAlgebra::QuadEdge;
using EdgeAlgebra::Site;
using EdgeAlgebra::siteLess;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

TEST(NonFiniteSiteLess, OrdersPairsAsDocumented) {
    struct Case {
        Site a, b;
        bool less;
    };
    const Case cases[] = {
        {{1, 2}, {1, 3}, true},        {{1, 3}, {1, 2}, false},
        {{0, 5}, {1, -5}, true},       {{-0.0f, 1}, {0, 1}, false},
        {{0, 1}, {-0.0f, 1}, false},   {{1e30f, 0}, {kInf, -9}, true},
        {{kNaN, 0}, {1, 0}, false},    {{1, 0}, {kNaN, 0}, true},
        {{0, kNaN}, {0, 1}, false},    {{kInf, 0}, {kNaN, 0}, true},
        {{kNaN, 0}, {kInf, 0}, false}, {{-kInf, 0}, {kInf, 0}, true},
        {{-kInf, 0}, {5, 5}, false},   {{kNaN, 1}, {kNaN, 2}, true},
        {{kNaN, 2}, {kNaN, 1}, false}, {{kNaN, kNaN}, {kNaN, kNaN}, false},
        {{0, -kInf}, {0, kNaN}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(siteLess(&c.a, &c.b), c.less)
            << "(" << c.a.x << ", " << c.a.y << ") < (" << c.b.x << ", " << c.b.y << ")";
    }
}

// Irreflexive, transitive, and incomparability transitive: what std::sort
// needs, checked over every triple of a set of awkward values.
TEST(NonFiniteSiteLess, IsAStrictWeakOrdering) {
    const float values[] = {-kInf, -1.0f, -0.0f, 0.0f, 2.5f, kInf, kNaN};
    std::vector<Site> sites;
    for (float x : values) {
        for (float y : values) {
            sites.emplace_back(x, y);
        }
    }
    const auto incomparable = [](const Site& a, const Site& b) {
        return !siteLess(&a, &b) && !siteLess(&b, &a);
    };
    for (const Site& a : sites) {
        ASSERT_FALSE(siteLess(&a, &a));
        for (const Site& b : sites) {
            for (const Site& c : sites) {
                if (siteLess(&a, &b) && siteLess(&b, &c)) {
                    ASSERT_TRUE(siteLess(&a, &c));
                }
                if (incomparable(a, b) && incomparable(b, c)) {
                    ASSERT_TRUE(incomparable(a, c));
                }
            }
        }
    }
}

// A sort with a broken comparator may run past the vector's end; the address
// sanitizer build catches that. Afterwards finite sites come first, in order.
TEST(NonFiniteSiteLess, SortingManyNaNsStaysInBoundsAndPutsFiniteSitesFirst) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> coordinate(-50, 50);
    std::vector<Site> sites;
    for (int i = 0; i < 2000; ++i) {
        const float x = i % 3 == 0 ? kNaN : static_cast<float>(coordinate(random));
        const float y = i % 7 == 0 ? kInf : static_cast<float>(coordinate(random));
        sites.emplace_back(x, y);
    }
    std::vector<Site*> sorted;
    for (Site& s : sites) {
        sorted.push_back(&s);
    }
    std::sort(sorted.begin(), sorted.end(), siteLess);
    const auto firstNonFinite = std::partition_point(sorted.begin(), sorted.end(),
                                                     [](const Site* s) { return s->isFinite(); });
    EXPECT_TRUE(
        std::none_of(firstNonFinite, sorted.end(), [](const Site* s) { return s->isFinite(); }));
    EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end(), siteLess));
    EXPECT_EQ(std::set<Site*>(sorted.begin(), sorted.end()).size(), sites.size());
}

TEST(NonFinitePredicates, NaNGivesFalseAndNeverReachesExactArithmetic) {
    const Site a(0, 0), b(1, 0), c(0, 1), nan(kNaN, 0), inf(kInf, kInf);
    EXPECT_FALSE(nan.ccw(&b, &c));
    EXPECT_FALSE(a.ccw(&nan, &c));
    EXPECT_FALSE(nan.inCircle(&a, &b, &c));
    EXPECT_FALSE(a.inCircle(&b, &c, &nan));
    // No defined answer for infinities; the calls only have to return.
    (void)inf.ccw(&b, &c);
    (void)a.inCircle(&b, &inf, &c);
    (void)inf.inCircle(&inf, &inf, &inf);
}

struct SkipCase {
    const char* name;
    std::vector<Site> finite;
    std::vector<Site> nonFinite;
};

// The edges of a triangulation as pairs of end sites, direction ignored.
std::set<std::pair<const Site*, const Site*>> edgeSet(const DelaunayTriangulation& t) {
    std::set<std::pair<const Site*, const Site*>> edges;
    for (const auto& entry : EdgeAlgebra::EdgeWalker(t.getLeftEdge()).getEdges()) {
        const Site* o = entry.first->org();
        const Site* d = entry.first->dest();
        edges.emplace(std::min(o, d), std::max(o, d));
    }
    return edges;
}

TEST(NonFiniteTriangulation, SkipsNonFiniteSitesAndKeepsTheFiniteResult) {
    const std::vector<SkipCase> cases = {
        {"square and a NaN", {{0, 0}, {1, 0}, {0, 1}, {1, 1}}, {{kNaN, 0.5f}}},
        {"five with infinities",
         {{0, 0}, {2, 0}, {1, 1}, {1, -1}, {1, 0}},
         {{kInf, 0}, {-kInf, 0}, {0, -kInf}}},
        {"collinear with NaN pair", {{0, 0}, {1, 0}, {2, 0}}, {{kNaN, kNaN}, {3, kNaN}}},
        {"two finite", {{0, 0}, {1, 1}}, {{kNaN, 0}, {kInf, kInf}, {-kInf, 1}}},
        {"one finite", {{3, 3}}, {{kNaN, 0}, {kInf, 0}}},
        {"none finite", {}, {{kNaN, 0}, {kInf, 0}, {-kInf, kNaN}}},
    };
    for (const SkipCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Site> all = c.nonFinite;
        all.insert(all.end(), c.finite.begin(), c.finite.end());
        std::vector<Site*> sorted, finiteSorted;
        for (Site& s : all) {
            sorted.push_back(&s);
            if (s.isFinite()) {
                finiteSorted.push_back(&s);
            }
        }
        std::sort(sorted.begin(), sorted.end(), siteLess);
        std::sort(finiteSorted.begin(), finiteSorted.end(), siteLess);
        ASSERT_TRUE(std::equal(finiteSorted.begin(), finiteSorted.end(), sorted.begin()));
        {
            const DelaunayTriangulation mixed(sorted);
            const DelaunayTriangulation finiteOnly(finiteSorted);
            EXPECT_EQ(TessaroFuzz::auditSubdivision(mixed.getLeftEdge(), mixed.getRightEdge(),
                                                    finiteSorted)
                          .fault,
                      "");
            EXPECT_EQ(edgeSet(mixed), edgeSet(finiteOnly));
            for (const auto& edge : edgeSet(mixed)) {
                EXPECT_TRUE(edge.first->isFinite() && edge.second->isFinite());
            }
        }
        EXPECT_EQ(QuadEdge::liveCount(), 0u);
    }
}

} // namespace
