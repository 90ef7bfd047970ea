#include "construction/VerticalCuts.h"

#include "construction/DivideAndConquerSteps.h"
#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/Site.h"
#include "parallel/ForkJoin.h"
#include "structure/QuadTraversal.h"

#include <algorithm>

namespace EdgeAlgebra {

namespace {

// The quad-edge records themselves, for the shared steps. The mesh remembers
// the last edge it made: whatever it built since it was made fresh is all
// reachable from that edge, which is what a failure has to free.
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
    Edge makeEdge(Vertex origin, Vertex destination) {
        QuadEdge* e = new QuadEdge;
        e->setOrg(origin);
        e->setDest(destination);
        lastMade = e;
        return e;
    }
    static void splice(Edge a, Edge b) { a->splice(b); }
    Edge connect(Edge a, Edge b) { return lastMade = a->connect(b); }
    static void removeEdge(Edge e) {
        e->deleteEdge();
        delete e->canonical();
    }
    static bool ccw(Vertex a, Vertex b, Vertex c) { return a->ccw(b, c); }
    static bool inCircle(Vertex d, Vertex a, Vertex b, Vertex c) { return d->inCircle(a, b, c); }

    QuadEdge* lastMade = nullptr;
};

using Hull = DivideAndConquerSteps::HullEdges<QuadEdgeMesh>;

// Halves smaller than this are built on the thread that cut them: a thread
// costs more to start than a few thousand sites take to triangulate.
constexpr int kParallelHalfSites = 8192;

class Builder {
public:
    explicit Builder(const std::vector<Site*>& sites) : m_sites(sites) {}

    // Triangulates sites [lo, hi). On failure, frees everything it built.
    Hull build(int lo, int hi, unsigned threads) {
        if (hi <= lo + 3) {
            return leaf(lo, hi);
        }
        const int mid = (lo + hi) / 2;
        Hull lower{}, upper{};
        const unsigned lowerThreads = threads / 2;
        try {
            ForkJoin::both(
                threads > 1 && mid - lo >= kParallelHalfSites,
                [&, this] { lower = build(lo, mid, std::max(lowerThreads, 1u)); },
                [&, this] { upper = build(mid, hi, threads - lowerThreads); });
        } catch (...) {
            // A half that failed has freed its own quads; one that finished
            // has not.
            QuadTraversal::freeReachable({lower.le, upper.le});
            throw;
        }
        QuadEdgeMesh mesh;
        try {
            return DivideAndConquerSteps::merge(mesh, lower, upper);
        } catch (...) {
            // Only making an edge can fail. Before the first cross edge the
            // halves are apart and untouched; after it, that edge and those
            // made since join everything.
            if (mesh.lastMade != nullptr) {
                QuadTraversal::freeReachable({mesh.lastMade});
            } else {
                QuadTraversal::freeReachable({lower.le, upper.le});
            }
            throw;
        }
    }

private:
    // Two or three sites. The leaves run left to right: the sites of the
    // next leaves are fetched now, as the caller's sites lie scattered in
    // memory.
    Hull leaf(int lo, int hi) {
        constexpr int kPrefetchAhead = 16;
        const int end = std::min(hi + kPrefetchAhead, static_cast<int>(m_sites.size()));
        for (int i = lo + kPrefetchAhead; i < end; ++i) {
            __builtin_prefetch(at(i));
        }
        QuadEdgeMesh mesh;
        try {
            return hi == lo + 2 ? DivideAndConquerSteps::triangulateTwo(mesh, at(lo), at(lo + 1))
                                : DivideAndConquerSteps::triangulateThree(mesh, at(lo), at(lo + 1),
                                                                          at(lo + 2));
        } catch (...) {
            QuadTraversal::freeReachable({mesh.lastMade});
            throw;
        }
    }

    Site* at(int i) const { return m_sites[static_cast<std::size_t>(i)]; }

    const std::vector<Site*>& m_sites;
};

} // namespace

void VerticalCuts::triangulate(const std::vector<Site*>& sites, QuadEdge** leftEdge,
                               QuadEdge** rightEdge, unsigned threads) {
    if (sites.size() >= 2) {
        const Hull hull = Builder(sites).build(0, static_cast<int>(sites.size()), threads);
        *leftEdge = hull.le;
        *rightEdge = hull.re;
    }
}

} // namespace EdgeAlgebra
