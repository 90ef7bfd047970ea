#pragma once

#include "construction/CompactConstruction.h"

#include <cstddef>
#include <vector>

namespace EdgeAlgebra {

class QuadEdge;
class Site;

// The fast path of the triangulator for many sites: Dwyer's divide and
// conquer, on a compact private copy of the sites and edges. Vertical cuts
// alone halve the sites into ever thinner strips, whose triangulations are
// mostly long thin triangles that the next merge deletes again. Here the
// vertical cuts stop at strips of about sqrt(n log n) sites; each strip is cut
// horizontally, into cells that stay roughly square, and the work per site
// stays nearly constant.
//
// The construction with vertical cuts alone defines the triangulator's
// result. Where a set of sites has only one Delaunay triangulation both
// constructions find it, so the fast path keeps its result only when it can
// prove that: no two sites coincide and every interior edge is strictly
// locally Delaunay (the far site of each neighbouring triangle lies strictly
// outside the other's circle; every Delaunay triangulation then contains
// every edge). It then writes the triangulation out as quads from new
// QuadEdge, giving each quad the direction that vertical cuts give it, and the
// same two hull edges, so that the result cannot be told apart. Otherwise
// (coincident or cocircular sites) it returns false and leaves nothing
// allocated.
class StripCuts {
public:
    // Below this many sites vertical cuts are as fast (copying, checking and
    // writing out cost what the strips save): the caller uses them.
    static constexpr std::size_t kMinimumSites = CompactConstruction::kMinimumStripSites;

    // Sites sorted by siteLess; the non-finite ones, which sort last, take no
    // part. On success sets the counterclockwise hull edge out of the first
    // site and the clockwise one out of the last finite one. Uses up to
    // `threads` threads (at least one); the result is the same for any number.
    // A failure (of an allocation) leaves nothing allocated.
    static bool triangulate(const std::vector<Site*>& sites, QuadEdge** leftEdge,
                            QuadEdge** rightEdge, unsigned threads = 1);
};

} // namespace EdgeAlgebra
