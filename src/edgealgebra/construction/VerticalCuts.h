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
    // Triangulates finite sites sorted by siteLess into quads from new
    // QuadEdge, and sets the counterclockwise hull edge out of the first site
    // and the clockwise hull edge out of the last one. Fewer than two sites
    // build nothing and leave both edges as they are.
    static void triangulate(const std::vector<Site*>& sites, QuadEdge** leftEdge,
                            QuadEdge** rightEdge);

private:
    static void divideAndConquer(const std::vector<Site*>& sites, int lo, int hi, QuadEdge** le,
                                 QuadEdge** re);
};

} // namespace EdgeAlgebra
