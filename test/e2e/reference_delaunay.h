// The Delaunay triangulation of a small site set by brute force, independent
// of the program's own triangulator: a triangle belongs to it when no other
// site lies inside or on its circumcircle. Sites are multiples of 1/4096,
// decided by the core tests' ExactOracle on integers.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace e2e {

struct SitePoint {
    double x = 0.0;
    double y = 0.0;
};

struct ReferenceCircle {
    SitePoint center;
    double radius = 0.0;
};

struct ReferenceTriangulation {
    // Index pairs (i < j) into the site list, each undirected edge once.
    std::vector<std::array<std::size_t, 2>> edges;
    std::vector<std::array<std::size_t, 3>> triangles;
    std::vector<ReferenceCircle> circles; // one per triangle
    std::size_t hullSize = 0;             // sites on the convex hull
};

// True when the sites are distinct, no three are collinear and no four are
// cocircular: then the triangulation is unique and the brute force finds it.
bool inGeneralPosition(const std::vector<SitePoint>& sites);

// Requires inGeneralPosition(sites) and at least three sites.
ReferenceTriangulation triangulateByBruteForce(const std::vector<SitePoint>& sites);

} // namespace e2e
