#pragma once

#include "construction/CompactConstruction.h"

#include <cstddef>
#include <vector>

namespace EdgeAlgebra {

class QuadEdge;
class Site;

// The fast path of DelaunayTriangulation for many sites: the compact strip
// construction (CompactConstruction::buildWithStrips, which keeps only a
// result it proves unique) on a compact private copy of the sites, written
// out as quads from new QuadEdge. Each quad gets the direction that vertical
// cuts give it, and the hull edges are the same two, so that the result
// cannot be told apart from that of VerticalCuts. Declines (returns false,
// leaving nothing allocated) where the sites hold coincident ones or the
// strips cannot prove their result.
class CompactToQuadEdges {
public:
    // Below this many sites vertical cuts are as fast (copying, checking and
    // writing out cost what the strips save): the caller uses them.
    static constexpr std::size_t kMinimumSites = CompactConstruction::kMinimumStripSites;

    // Sites sorted by siteLess; the non-finite ones, which sort last, take no
    // part. On success sets the counterclockwise hull edge out of the first
    // site and the clockwise one out of the last finite one. Uses up to
    // `threads` threads (at least one); the result is the same for any number.
    // A failure (of an allocation) leaves nothing allocated.
    static bool triangulateWithStrips(const std::vector<Site*>& sites, QuadEdge** leftEdge,
                                      QuadEdge** rightEdge, unsigned threads = 1);
};

} // namespace EdgeAlgebra
