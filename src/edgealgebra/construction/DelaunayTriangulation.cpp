#include "edgealgebra/DelaunayTriangulation.h"

#include "construction/CompactToQuadEdges.h"
#include "construction/VerticalCuts.h"
#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/Site.h"
#include "parallel/ForkJoin.h"
#include "sorting/SortPointers.h"
#include "structure/QuadTraversal.h"

#include <algorithm>
#include <iterator>
#include <new>

namespace EdgeAlgebra {

namespace {

bool coincide(const Site* a, const Site* b) {
    return a->x == b->x && a->y == b->y;
}

// The sites that take part, in their sorted order: the finite ones (siteLess
// sorts the others last), and of each run of coincident sites (adjacent once
// sorted) only the first. One pass over the sites tells whether that is all
// of them, the common case, which needs no copy.
const std::vector<Site*>& distinctFiniteSites(const std::vector<Site*>& sites,
                                              std::vector<Site*>& kept) {
    const auto excluded = [&sites](std::size_t i) {
        return !sites[i]->isFinite() || (i > 0 && coincide(sites[i - 1], sites[i]));
    };
    std::size_t i = 0;
    while (i < sites.size() && !excluded(i)) {
        ++i;
    }
    if (i == sites.size()) {
        return sites;
    }
    kept.assign(sites.begin(), sites.begin() + static_cast<std::ptrdiff_t>(i));
    for (; i < sites.size(); ++i) {
        if (sites[i]->isFinite() && !coincide(kept.back(), sites[i])) {
            kept.push_back(sites[i]);
        }
    }
    return kept;
}

} // namespace

// Many sites take the fast construction first; it declines (building nothing)
// unless its result is provably the one vertical cuts give.
DelaunayTriangulation::DelaunayTriangulation(std::vector<Site*>& sites, unsigned threads)
    : m_leftEdge(nullptr), m_rightEdge(nullptr) {
    threads = ForkJoin::threadCount(threads);
    std::vector<Site*> kept;
    const std::vector<Site*>& used = distinctFiniteSites(sites, kept);
    if (used.size() >= CompactToQuadEdges::kMinimumSites &&
        CompactToQuadEdges::triangulateWithStrips(used, &m_leftEdge, &m_rightEdge, threads)) {
        return;
    }
    VerticalCuts::triangulate(used, &m_leftEdge, &m_rightEdge, threads);
}

// Frees every quad once. The traversal lists exactly the keys an EdgeWalker
// would collect, without building the ordered map; it reads no site, so the
// sites may already be gone. Freed from the highest address down, the blocks
// sit on the pool's free list in ascending order, so the next triangulation
// gets them back in address order, as compact as fresh memory, instead of
// scattered. Where memory for the list (or for sorting it) cannot be had,
// the quads are freed all the same, by a walk that needs none.
DelaunayTriangulation::~DelaunayTriangulation() {
    ScratchVector<QuadEdge*> quads;
    try {
        quads = QuadTraversal::canonicalRecords(m_leftEdge);
    } catch (const std::bad_alloc&) {
        QuadTraversal::freeReachable({m_leftEdge});
        return;
    }
    try {
        sortPointers(quads);
    } catch (const std::bad_alloc&) {
        // Freed in the order found.
    }
    for (auto it = quads.rbegin(); it != quads.rend(); ++it) {
        delete *it;
    }
}

} // namespace EdgeAlgebra
