#include "edgealgebra/EdgeWalker.h"

#include "sorting/SortPointers.h"
#include "structure/QuadTraversal.h"

namespace EdgeAlgebra {

struct EdgeWalker::Keys {
    ScratchVector<QuadEdge*> sorted;
};

EdgeWalker::EdgeWalker(QuadEdge* start) : m_visited(std::make_unique<Keys>()) {
    walk(start);
}

EdgeWalker::~EdgeWalker() = default;

// Inserting keys in ascending order at the end of the tree costs constant
// amortised time each.
std::map<QuadEdge*, char> EdgeWalker::getEdges() const {
    std::map<QuadEdge*, char> edges;
    for (QuadEdge* key : m_visited->sorted) {
        edges.emplace_hint(edges.end(), key, '0');
    }
    return edges;
}

void EdgeWalker::walk(QuadEdge* start) {
    m_visited->sorted = QuadTraversal::canonicalRecords(start);
    sortPointers(m_visited->sorted);
}

} // namespace EdgeAlgebra
