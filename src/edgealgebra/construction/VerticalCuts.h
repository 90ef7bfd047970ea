#pragma once

#include <vector>

namespace EdgeAlgebra {

class QuadEdge;
class Site;

// Guibas and Stolfi's divide and conquer with vertical cuts only: the sorted
// sites are halved by position at every level and the halves merged from
// their lower common tangent upwards. This is the construction that defines
// the triangulator's result on every input, degenerate ones included.
class VerticalCuts {
public:
    // Triangulates distinct finite sites sorted by siteLess into quads from
    // new QuadEdge, and sets the counterclockwise hull edge out of the first
    // site and the clockwise hull edge out of the last one. Fewer than two
    // sites build nothing and leave both edges as they are. Large halves are
    // built on separate threads, up to `threads` (at least one); the result is
    // the same for any number. A failure anywhere (of an allocation) frees
    // every quad built so far before it reaches the caller.
    static void triangulate(const std::vector<Site*>& sites, QuadEdge** leftEdge,
                            QuadEdge** rightEdge, unsigned threads = 1);
};

} // namespace EdgeAlgebra
