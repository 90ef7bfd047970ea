#include "edgealgebra/EdgeWalker.h"

#include "QuadTraversal.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace EdgeAlgebra {

EdgeWalker::EdgeWalker(QuadEdge* start) {
    walk(start);
}

std::map<QuadEdge*, char> EdgeWalker::getEdges() const {
    return m_visited;
}

// Lists the quads first and builds the map from the sorted keys: each insertion
// then lands at the end of the tree, in constant amortised time.
void EdgeWalker::walk(QuadEdge* start) {
    std::vector<QuadEdge*> keys = QuadTraversal::canonicalRecords(start);
    std::sort(keys.begin(), keys.end(), std::less<QuadEdge*>());
    for (QuadEdge* key : keys) {
        m_visited.emplace_hint(m_visited.end(), key, '0');
    }
}

} // namespace EdgeAlgebra
