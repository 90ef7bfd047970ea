// Triangulates five sites with the EdgeAlgebra core and prints every edge of
// the Delaunay triangulation once, as "x1 y1 x2 y2".
#include <edgealgebra/DelaunayTriangulation.h>
#include <edgealgebra/EdgeWalker.h>
#include <edgealgebra/QuadEdge.h>
#include <edgealgebra/Site.h>
#include <edgealgebra/SortSites.h>

#include <iostream>
#include <vector>

int main() {
    // Four corners of a square and a site off its centre.
    std::vector<EdgeAlgebra::Site> sites{{0, 0}, {4, 0}, {2, 3}, {0, 4}, {4, 4}};

    // The triangulator works on site pointers sorted by siteLess (sortSites
    // does that in linear time); the sites themselves must outlive it.
    std::vector<EdgeAlgebra::Site*> sorted;
    for (EdgeAlgebra::Site& site : sites) {
        sorted.push_back(&site);
    }
    EdgeAlgebra::sortSites(sorted);

    EdgeAlgebra::DelaunayTriangulation triangulation(sorted);
    EdgeAlgebra::EdgeWalker walker(triangulation.getLeftEdge());
    for (const auto& entry : walker.getEdges()) {
        const EdgeAlgebra::QuadEdge* edge = entry.first;
        std::cout << edge->org()->x << ' ' << edge->org()->y << ' ' << edge->dest()->x << ' '
                  << edge->dest()->y << '\n';
    }
    return 0;
}
