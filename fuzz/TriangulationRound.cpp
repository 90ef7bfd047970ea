#include "TriangulationRound.h"

#include "ConstructionComparison.h"
#include "SubdivisionAudit.h"
#include "edgealgebra/DelaunayTriangulation.h"
#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/Site.h"
#include "edgealgebra/SortSites.h"
#include "edgealgebra/Triangulate.h"

#include <algorithm>
#include <cstring>
#include <memory>

#ifdef TESSARO_FUZZ_WITH_SCENE
#include "scene/Scene.h"
#endif

using EdgeAlgebra::DelaunayTriangulation;
using EdgeAlgebra::QuadEdge;
using EdgeAlgebra::Site;

namespace TessaroFuzz {

namespace {

// Owns the sites of one pass; hands out their pointers sorted by siteLess.
class SiteSet {
public:
    void add(const std::vector<SitePoint>& points) {
        for (const SitePoint& p : points) {
            m_owned.push_back(std::make_unique<Site>(p.x, p.y));
            m_sorted.push_back(m_owned.back().get());
        }
    }
    std::vector<Site*>& sorted() {
        std::sort(m_sorted.begin(), m_sorted.end(), EdgeAlgebra::siteLess);
        return m_sorted;
    }

private:
    std::vector<std::unique_ptr<Site>> m_owned;
    std::vector<Site*> m_sorted;
};

// siteLess must be irreflexive and asymmetric on every pair, and a sorted
// vector must hold the finite sites first.
std::string orderingFault(const std::vector<Site*>& sorted) {
    for (const Site* a : sorted) {
        for (const Site* b : sorted) {
            if (EdgeAlgebra::siteLess(a, b) && EdgeAlgebra::siteLess(b, a)) {
                return "siteLess holds both ways";
            }
        }
        if (EdgeAlgebra::siteLess(a, a)) {
            return "siteLess is not irreflexive";
        }
    }
    if (!std::is_partitioned(sorted.begin(), sorted.end(),
                             [](const Site* s) { return s->isFinite(); })) {
        return "a non-finite site sorts before a finite one";
    }
    return "";
}

// sortSites must give what a stable sort with siteLess gives. Its radix sort
// serves a few hundred sites and more, so the input's sites are repeated
// (the same pointers again: ties that must keep their input order) up to
// that size.
std::string sortFault(std::vector<Site*> sites) {
    constexpr std::size_t kRadixSize = 600;
    const std::size_t distinct = sites.size();
    for (std::size_t i = 0; distinct > 0 && sites.size() < kRadixSize; ++i) {
        sites.push_back(sites[(i * 7) % distinct]);
    }
    std::vector<Site*> expected = sites;
    std::stable_sort(expected.begin(), expected.end(), EdgeAlgebra::siteLess);
    EdgeAlgebra::sortSites(sites);
    return sites == expected ? "" : "sortSites differs from a stable sort with siteLess";
}

// The triangulator keeps the finite sites (sorted first) and, of each run of
// coincident ones, the first: the audit expects exactly those.
AuditResult triangulateAndAudit(std::vector<Site*>& sorted, std::size_t finiteCount) {
    std::vector<Site*> takingPart;
    for (std::size_t i = 0; i < finiteCount; ++i) {
        if (takingPart.empty() || takingPart.back()->x != sorted[i]->x ||
            takingPart.back()->y != sorted[i]->y) {
            takingPart.push_back(sorted[i]);
        }
    }
    DelaunayTriangulation triangulation(sorted);
    return auditSubdivision(triangulation.getLeftEdge(), triangulation.getRightEdge(), takingPart);
}

std::string liveQuadsFault(std::size_t before, const char* where) {
    return QuadEdge::liveCount() == before ? ""
                                           : std::string("quad-edges left alive after ") + where;
}

// The flat arrays, on single and on double coordinates (the same sites, so
// the same arrays), must keep their conventions and hold the triangulator's
// bounded triangles, no more and no fewer.
std::string flatFault(const FuzzInput& input, const AuditResult& core) {
    std::vector<float> coords;
    for (const std::vector<SitePoint>* points : {&input.nonFinite, &input.sites}) {
        for (const SitePoint& p : *points) {
            coords.push_back(p.x);
            coords.push_back(p.y);
        }
    }
    const EdgeAlgebra::Triangulation single = EdgeAlgebra::triangulate(coords);
    const EdgeAlgebra::Triangulation lifted =
        EdgeAlgebra::triangulate(std::vector<double>(coords.begin(), coords.end()));
    if (single.triangles != lifted.triangles || single.halfedges != lifted.halfedges ||
        single.hull != lifted.hull) {
        return "triangulate differs between float and double coordinates";
    }
    if (single.triangles.size() != 3 * core.ccwTriangles) {
        return "triangulate's triangles are not the triangulator's";
    }
    for (std::size_t e = 0; e < single.halfedges.size(); ++e) {
        const std::uint32_t opposite = single.halfedges[e];
        const std::size_t next = e % 3 == 2 ? e - 2 : e + 1;
        if (opposite != EdgeAlgebra::kNone &&
            (single.halfedges[opposite] != e ||
             single.triangles[opposite] != single.triangles[next])) {
            return "triangulate's half-edges are not paired";
        }
    }
    return "";
}

#ifdef TESSARO_FUZZ_WITH_SCENE
std::string sceneFault(const FuzzInput& input, const AuditResult& core) {
    std::vector<DelaunayTest::Point> points;
    for (const SitePoint& p : input.sites) {
        points.emplace_back(p.x, p.y);
    }
    DelaunayTest::Scene scene(points, input.sceneSeed);
    scene.triangulate();
    const auto& after = scene.getPoints();
    if (after.size() != points.size() ||
        (!points.empty() &&
         std::memcmp(after.data(), points.data(), points.size() * sizeof points[0]) != 0)) {
        return "the scene's points changed";
    }
    if (scene.getLines().size() != core.edges) {
        return "the scene's lines differ from the triangulation's edges";
    }
    if (scene.getCircles().size() != 3 * core.ccwTriangles) {
        return "the scene's circles are not three per bounded triangle";
    }
    return "";
}
#endif

} // namespace

std::string checkFuzzInput(const FuzzInput& input) {
    const std::size_t liveBefore = QuadEdge::liveCount();
    AuditResult finiteOnly;
    {
        SiteSet sites;
        sites.add(input.sites);
        finiteOnly = triangulateAndAudit(sites.sorted(), input.sites.size());
    }
    std::string fault = finiteOnly.fault;
    if (fault.empty()) {
        fault = liveQuadsFault(liveBefore, "the finite pass");
    }
    if (fault.empty()) {
        fault = flatFault(input, finiteOnly);
    }
    if (fault.empty()) {
        // The fast construction serves large inputs only; here it runs on
        // every input, against vertical cuts.
        SiteSet sites;
        sites.add(input.sites);
        fault = compareConstructions(sites.sorted()).fault;
        if (fault.empty()) {
            fault = sortFault(sites.sorted());
        }
    }
    if (fault.empty() && !input.nonFinite.empty()) {
        SiteSet sites;
        sites.add(input.nonFinite);
        sites.add(input.sites);
        std::vector<Site*>& sorted = sites.sorted();
        fault = orderingFault(sorted);
        if (fault.empty()) {
            fault = sortFault(sorted);
        }
        if (fault.empty()) {
            const AuditResult mixed = triangulateAndAudit(sorted, input.sites.size());
            fault = mixed.fault;
            if (fault.empty() && mixed.edges != finiteOnly.edges) {
                fault = "non-finite sites changed the triangulation of the finite ones";
            }
        }
    }
    if (fault.empty() && !input.nonFinite.empty()) {
        fault = liveQuadsFault(liveBefore, "the non-finite pass");
    }
#ifdef TESSARO_FUZZ_WITH_SCENE
    if (fault.empty()) {
        fault = sceneFault(input, finiteOnly);
    }
    if (fault.empty()) {
        fault = liveQuadsFault(liveBefore, "the scene's Triangulate");
    }
#endif
    return fault;
}

} // namespace TessaroFuzz
