#include "edgealgebra/EdgeWalker.h"

#include "edgealgebra/QuadEdge.h"

#include <vector>

namespace EdgeAlgebra {

EdgeWalker::EdgeWalker(QuadEdge* start) {
    if (start != nullptr) {
        walk(start);
    }
}

std::map<QuadEdge*, char> EdgeWalker::getEdges() const {
    return m_visited;
}

// Depth-first closure of the start edge under sym().onext() and onext(). The
// walk around an origin ring runs as a loop; the way on from each newly
// recorded edge's destination waits on an explicit stack, so the depth of a
// huge subdivision never reaches the call stack.
void EdgeWalker::walk(QuadEdge* start) {
    std::vector<QuadEdge*> pending{start};
    while (!pending.empty()) {
        QuadEdge* e = pending.back();
        pending.pop_back();
        while (m_visited.emplace(e->canonical(), '0').second) {
            pending.push_back(e->sym()->onext());
            e = e->onext();
        }
    }
}

} // namespace EdgeAlgebra
