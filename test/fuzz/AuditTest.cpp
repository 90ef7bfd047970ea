// The audit must catch broken subdivisions, not only pass good ones: each
// case builds a small structure by hand, breaks one property, and expects the
// audit to name it.
#include "SubdivisionAudit.h"
#include "edgealgebra/DelaunayTriangulation.h"
#include "edgealgebra/EdgeWalker.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using EdgeAlgebra::QuadEdge;
using EdgeAlgebra::Site;
using TessaroFuzz::auditSubdivision;

namespace {

// Three sites (0,0), (1,-1), (2,0), sorted and counterclockwise, joined by
// hand as the triangulator's three-site case does; owns its quad-edges.
class HandTriangle {
public:
    explicit HandTriangle(bool closed) {
        m_a = make();
        m_b = make();
        m_a->sym()->splice(m_b);
        m_a->setOrg(&m_sites[0]);
        m_a->setDest(&m_sites[1]);
        m_b->setOrg(&m_sites[1]);
        m_b->setDest(&m_sites[2]);
        if (closed) {
            m_quads.push_back(m_b->connect(m_a));
        }
    }
    ~HandTriangle() {
        for (QuadEdge* q : m_quads) {
            delete q;
        }
    }
    HandTriangle(const HandTriangle&) = delete;
    HandTriangle& operator=(const HandTriangle&) = delete;

    QuadEdge* left() const { return m_a; }
    QuadEdge* right() const { return m_b->sym(); }
    std::vector<Site*> sorted() { return {&m_sites[0], &m_sites[1], &m_sites[2]}; }
    Site* site(int i) { return &m_sites[i]; }

private:
    QuadEdge* make() {
        m_quads.push_back(new QuadEdge);
        return m_quads.back();
    }

    Site m_sites[3] = {{0, 0}, {1, -1}, {2, 0}};
    std::vector<QuadEdge*> m_quads;
    QuadEdge* m_a;
    QuadEdge* m_b;
};

TEST(SubdivisionAudit, PassesAHandBuiltTriangle) {
    HandTriangle t(true);
    const TessaroFuzz::AuditResult result = auditSubdivision(t.left(), t.right(), t.sorted());
    EXPECT_EQ(result.fault, "");
    EXPECT_EQ(result.edges, 3u);
    EXPECT_EQ(result.ccwTriangles, 1u);
}

TEST(SubdivisionAudit, NamesEachBrokenProperty) {
    struct Case {
        const char* expected;
        bool closed;
        std::function<void(HandTriangle&, std::vector<Site*>&, QuadEdge*&, QuadEdge*&)> breakIt;
    };
    Site stray(1, 5);
    Site twin(0, 0);
    const Case cases[] = {
        {"edge count differs from 3n - 3 - h", false, [](auto&, auto&, auto&, auto&) {}},
        {"hull edges do not start at the first and last site", true,
         [](HandTriangle&, std::vector<Site*>&, QuadEdge*& left, QuadEdge*& right) {
             right = left;
         }},
        {"the ring origins are not exactly the sites", true,
         [&](HandTriangle&, std::vector<Site*>& sorted, QuadEdge*&, QuadEdge*&) {
             sorted.insert(sorted.begin() + 1, &stray);
         }},
        {"an origin ring mixes origins", true,
         [&](HandTriangle& t, std::vector<Site*>&, QuadEdge*&, QuadEdge*&) {
             t.left()->onext()->setOrg(&twin);
         }},
        {"onext and oprev are not inverse", true,
         [](HandTriangle& t, std::vector<Site*>&, QuadEdge*&, QuadEdge*&) {
             t.left()->setNext(t.left()->sym());
         }},
        {"origin missing on a primal record or set on a dual one", true,
         [&](HandTriangle& t, std::vector<Site*>&, QuadEdge*&, QuadEdge*&) {
             t.left()->rot()->setOrg(&twin);
         }},
        {"hull edges set for fewer than two sites", true,
         [](HandTriangle&, std::vector<Site*>& sorted, QuadEdge*&, QuadEdge*&) {
             sorted.resize(1);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        HandTriangle t(c.closed);
        std::vector<Site*> sorted = t.sorted();
        QuadEdge* left = t.left();
        QuadEdge* right = t.right();
        c.breakIt(t, sorted, left, right);
        EXPECT_EQ(auditSubdivision(left, right, sorted).fault, c.expected);
    }
}

// Swaps the diagonal of the quadrilateral around e (Guibas and Stolfi's swap).
void swapDiagonal(QuadEdge* e) {
    QuadEdge* a = e->oprev();
    QuadEdge* b = e->sym()->oprev();
    e->splice(a);
    e->sym()->splice(b);
    e->splice(a->lnext());
    e->sym()->splice(b->lnext());
    e->setOrg(a->dest());
    e->setDest(b->dest());
}

TEST(SubdivisionAudit, CatchesANonDelaunayDiagonal) {
    std::vector<Site> sites = {{0, 0}, {2, -1}, {2, 1}, {4, 0}};
    std::vector<Site*> sorted = {&sites[0], &sites[1], &sites[2], &sites[3]};
    EdgeAlgebra::DelaunayTriangulation triangulation(sorted);
    ASSERT_EQ(
        auditSubdivision(triangulation.getLeftEdge(), triangulation.getRightEdge(), sorted).fault,
        "");
    QuadEdge* diagonal = nullptr;
    for (const auto& entry : EdgeAlgebra::EdgeWalker(triangulation.getLeftEdge()).getEdges()) {
        if (entry.first->org()->x == 2 && entry.first->dest()->x == 2) {
            diagonal = entry.first;
        }
    }
    ASSERT_NE(diagonal, nullptr);
    swapDiagonal(diagonal);
    EXPECT_EQ(
        auditSubdivision(triangulation.getLeftEdge(), triangulation.getRightEdge(), sorted).fault,
        "a site lies strictly inside a triangle's circumcircle");
}

TEST(SubdivisionAudit, AcceptsNoEdgesForFewerThanTwoSites) {
    Site only(1, 1);
    EXPECT_EQ(auditSubdivision(nullptr, nullptr, {}).fault, "");
    EXPECT_EQ(auditSubdivision(nullptr, nullptr, {&only}).fault, "");
}

} // namespace
