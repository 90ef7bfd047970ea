#pragma once

#include <map>

namespace EdgeAlgebra {

class QuadEdge;

// Lists every undirected edge of a connected quad-edge subdivision once. The
// key of an edge is the canonical record of its quad; every value is '0'.
// The keys are borrowed: they are valid only while the subdivision lives.
class EdgeWalker {
public:
    // Walks the whole subdivision reachable from start through sym and onext.
    // A null start collects nothing.
    explicit EdgeWalker(QuadEdge* start);

    // A copy of the collected edges.
    std::map<QuadEdge*, char> getEdges() const;

private:
    void walk(QuadEdge* start);

    std::map<QuadEdge*, char> m_visited;
};

} // namespace EdgeAlgebra
