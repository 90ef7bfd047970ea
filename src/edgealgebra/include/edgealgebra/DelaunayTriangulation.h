#pragma once

#include <vector>

namespace EdgeAlgebra {

class QuadEdge;
class Site;

// Guibas and Stolfi's divide-and-conquer Delaunay triangulation. The
// constructor does all the work on sites sorted by siteLess; the object owns
// every quad-edge of the result and frees them all in its destructor. The
// sites stay the caller's and are not read after construction.
class DelaunayTriangulation {
public:
    // Fewer than two sites build nothing and leave both hull edges null.
    // Sites left out get no edge, and the result is the triangulation of the
    // others alone:
    // - sites with a NaN or infinite coordinate: no predicate can place them
    //   (siteLess sorts them last, so the hull edges still start at the first
    //   and last finite site);
    // - coincident sites (distinct objects with equal coordinates): of each
    //   run of them in sorted order only the first takes part, since a
    //   Delaunay triangulation has one vertex per point.
    //
    // Large inputs are built on up to `threads` threads (0: as many as the
    // hardware runs at once); the result is the same for every number, and
    // small inputs stay on the calling thread. A failure on any thread (an
    // allocation, say) frees everything built so far and reaches the caller
    // as the original exception.
    explicit DelaunayTriangulation(std::vector<Site*>& sites, unsigned threads = 0);
    ~DelaunayTriangulation();

    DelaunayTriangulation(const DelaunayTriangulation&) = delete;
    DelaunayTriangulation& operator=(const DelaunayTriangulation&) = delete;

    // Counterclockwise convex-hull edge out of the first sorted site.
    QuadEdge* getLeftEdge() const { return m_leftEdge; }
    // Clockwise convex-hull edge out of the last sorted site.
    QuadEdge* getRightEdge() const { return m_rightEdge; }

private:
    QuadEdge* m_leftEdge;
    QuadEdge* m_rightEdge;
};

} // namespace EdgeAlgebra
