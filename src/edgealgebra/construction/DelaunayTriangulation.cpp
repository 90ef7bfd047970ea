#include "edgealgebra/DelaunayTriangulation.h"

#include "construction/StripCuts.h"
#include "construction/VerticalCuts.h"
#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/Site.h"
#include "sorting/SortPointers.h"
#include "structure/QuadTraversal.h"

#include <algorithm>
#include <iterator>

namespace EdgeAlgebra {

// Many sites take the fast construction first; it declines (building nothing)
// unless its result is provably the one vertical cuts give.
DelaunayTriangulation::DelaunayTriangulation(std::vector<Site*>& sites)
    : m_leftEdge(nullptr), m_rightEdge(nullptr) {
    if (sites.size() >= StripCuts::kMinimumSites &&
        StripCuts::triangulate(sites, &m_leftEdge, &m_rightEdge)) {
        return;
    }
    const auto isFinite = [](const Site* s) { return s->isFinite(); };
    if (std::all_of(sites.begin(), sites.end(), isFinite)) {
        VerticalCuts::triangulate(sites, &m_leftEdge, &m_rightEdge);
        return;
    }
    std::vector<Site*> finiteSites;
    std::copy_if(sites.begin(), sites.end(), std::back_inserter(finiteSites), isFinite);
    VerticalCuts::triangulate(finiteSites, &m_leftEdge, &m_rightEdge);
}

// Frees every quad once. The traversal lists exactly the keys an EdgeWalker
// would collect, without building the ordered map; it reads no site, so the
// sites may already be gone.
DelaunayTriangulation::~DelaunayTriangulation() {
    ScratchVector<QuadEdge*> quads = QuadTraversal::canonicalRecords(m_leftEdge);
    // Freed from the highest address down, the blocks sit on the pool's free
    // list in ascending order, so the next triangulation gets them back in
    // address order, as compact as fresh memory, instead of scattered.
    sortPointers(quads);
    for (auto it = quads.rbegin(); it != quads.rend(); ++it) {
        delete *it;
    }
}

} // namespace EdgeAlgebra
