#pragma once

#include <map>
#include <memory>

namespace EdgeAlgebra {

class QuadEdge;

// Lists every undirected edge of a connected quad-edge subdivision once. The
// key of an edge is the canonical record of its quad; every value is '0'.
// The keys are borrowed: they are valid only while the subdivision lives.
// The walk marks the quads it has visited in the quads themselves and clears
// the marks before the constructor returns: one subdivision must not be
// walked (or destroyed) by two threads at the same time.
class EdgeWalker {
public:
    // Walks the whole subdivision reachable from start through sym and onext.
    // A null start collects nothing.
    explicit EdgeWalker(QuadEdge* start);
    ~EdgeWalker();

    EdgeWalker(const EdgeWalker&) = delete;
    EdgeWalker& operator=(const EdgeWalker&) = delete;

    // The collected edges, as a new map each time: every call returns an
    // equal map, and nothing done to one changes the walker.
    std::map<QuadEdge*, char> getEdges() const;

private:
    void walk(QuadEdge* start);

    // The keys in ascending order (std::less on the pointer), each once, kept
    // as a sorted array rather than as the map itself: getEdges then builds
    // its map in one pass, with no second tree to copy from.
    struct Keys;
    std::unique_ptr<Keys> m_visited;
};

} // namespace EdgeAlgebra
