#include "construction/VerticalCuts.h"

#include "construction/DivideAndConquerSteps.h"
#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/Site.h"

#include <algorithm>

namespace EdgeAlgebra {

void VerticalCuts::triangulate(const std::vector<Site*>& sites, QuadEdge** leftEdge,
                               QuadEdge** rightEdge) {
    if (sites.size() >= 2) {
        divideAndConquer(sites, 0, static_cast<int>(sites.size()), leftEdge, rightEdge);
    }
}

namespace {

// The quad-edge records themselves, for the shared steps.
struct QuadEdgeMesh {
    using Edge = QuadEdge*;
    using Vertex = Site*;

    static Edge sym(Edge e) { return e->sym(); }
    static Edge onext(Edge e) { return e->onext(); }
    static Edge oprev(Edge e) { return e->oprev(); }
    static Edge lnext(Edge e) { return e->lnext(); }
    static Edge rprev(Edge e) { return e->rprev(); }
    static Vertex org(Edge e) { return e->org(); }
    static Vertex dest(Edge e) { return e->dest(); }
    static Edge makeEdge(Vertex origin, Vertex destination) {
        QuadEdge* e = new QuadEdge;
        e->setOrg(origin);
        e->setDest(destination);
        return e;
    }
    static void splice(Edge a, Edge b) { a->splice(b); }
    static Edge connect(Edge a, Edge b) { return a->connect(b); }
    static void removeEdge(Edge e) {
        e->deleteEdge();
        delete e->canonical();
    }
    static bool ccw(Vertex a, Vertex b, Vertex c) { return a->ccw(b, c); }
    static bool inCircle(Vertex d, Vertex a, Vertex b, Vertex c) { return d->inCircle(a, b, c); }
};

using Hull = DivideAndConquerSteps::HullEdges<QuadEdgeMesh>;

} // namespace

void VerticalCuts::divideAndConquer(const std::vector<Site*>& sites, int lo, int hi, QuadEdge** le,
                                    QuadEdge** re) {
    QuadEdgeMesh mesh;
    if (hi <= lo + 3) {
        // The leaves run left to right: fetch the sites of the leaves a few
        // steps ahead now, as the caller's sites lie scattered in memory.
        constexpr int kPrefetchAhead = 16;
        const int end = std::min(hi + kPrefetchAhead, static_cast<int>(sites.size()));
        for (int i = lo + kPrefetchAhead; i < end; ++i) {
            __builtin_prefetch(sites[static_cast<std::size_t>(i)]);
        }
        const auto at = [&sites](int i) { return sites[static_cast<std::size_t>(i)]; };
        const Hull hull =
            hi == lo + 2
                ? DivideAndConquerSteps::triangulateTwo(mesh, at(lo), at(lo + 1))
                : DivideAndConquerSteps::triangulateThree(mesh, at(lo), at(lo + 1), at(lo + 2));
        *le = hull.le;
        *re = hull.re;
        return;
    }
    Hull lower{}, upper{};
    const int mid = (lo + hi) / 2;
    divideAndConquer(sites, lo, mid, &lower.le, &lower.re);
    divideAndConquer(sites, mid, hi, &upper.le, &upper.re);
    const Hull merged = DivideAndConquerSteps::merge(mesh, lower, upper);
    *le = merged.le;
    *re = merged.re;
}

} // namespace EdgeAlgebra
