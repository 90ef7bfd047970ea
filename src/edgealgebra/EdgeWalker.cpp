#include "edgealgebra/EdgeWalker.h"

#include "QuadTraversal.h"
#include "SortPointers.h"

namespace EdgeAlgebra {

EdgeWalker::EdgeWalker(QuadEdge* start) {
    walk(start);
}

// Inserting keys in ascending order at the end of the tree costs constant
// amortised time each.
std::map<QuadEdge*, char> EdgeWalker::getEdges() const {
    std::map<QuadEdge*, char> edges;
    for (QuadEdge* key : m_visited) {
        edges.emplace_hint(edges.end(), key, '0');
    }
    return edges;
}

void EdgeWalker::walk(QuadEdge* start) {
    m_visited = QuadTraversal::canonicalRecords(start);
    sortPointers(m_visited);
}

} // namespace EdgeAlgebra
