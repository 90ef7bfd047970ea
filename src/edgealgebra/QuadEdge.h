#pragma once

#include <cstddef>

namespace EdgeAlgebra {

class Site;

// One directed edge record of Guibas and Stolfi's quad-edge structure. Four
// records make a quad: an edge in both directions (positions 0 and 2) and its
// dual in both directions (positions 1 and 3). All four share one table of
// the quad's records. The record at position 0 is the canonical record: it is
// created with `new QuadEdge` (make-edge), owns the other three and the table,
// and deleting it (`delete e->canonical()`) is the only way to free a quad.
class QuadEdge {
public:
    // Make-edge: a new isolated quad whose origin and destination are null.
    QuadEdge();
    ~QuadEdge();

    QuadEdge(const QuadEdge&) = delete;
    QuadEdge& operator=(const QuadEdge&) = delete;

    QuadEdge* rot() const { return m_quad[(m_index + 1) & 3]; }
    QuadEdge* sym() const { return m_quad[(m_index + 2) & 3]; }
    QuadEdge* invRot() const { return m_quad[(m_index + 3) & 3]; }
    QuadEdge* onext() const { return m_next; }
    QuadEdge* oprev() const { return rot()->onext()->rot(); }
    QuadEdge* lnext() const { return invRot()->onext()->rot(); }
    QuadEdge* rprev() const { return sym()->onext(); }
    Site* org() const { return m_origin; }
    Site* dest() const { return sym()->org(); }
    QuadEdge* canonical() const { return m_quad[0]; }

    void setOrg(Site* s) { m_origin = s; }
    void setDest(Site* s) { sym()->setOrg(s); }
    // Throws std::exception for a null edge, before changing anything.
    void setNext(QuadEdge* e);
    // Guibas and Stolfi's splice of this record and b: merges two origin rings
    // or splits one. Throws std::exception for a null b, before any change.
    void splice(QuadEdge* b);
    // Adds an edge from this edge's destination to b's origin and returns it.
    QuadEdge* connect(QuadEdge* b);
    // Detaches this edge from both end rings. Does not free it.
    void deleteEdge();

    // Number of quads made and not yet freed (all threads together).
    static std::size_t liveCount();

private:
    QuadEdge(QuadEdge** quad, int index);

    Site* m_origin;
    QuadEdge* m_next;
    int m_index;
    QuadEdge** m_quad;
};

} // namespace EdgeAlgebra
