#pragma once

#include "edgealgebra/DelaunayTriangulation.h"
#include "edgealgebra/Site.h"

#include <string>
#include <vector>

// Independent checks of a finished triangulation. Each returns an empty string
// when everything holds, otherwise a description of the first fault found.
namespace SubdivisionCheck {

// Combinatorial consistency: quad invariants, closed rings, one origin ring
// per site, Euler's formula, the walker's key set, the hull edges' origins
// (the fuzz harness's auditTopology, shared). The geometry below is decided
// by ExactOracle, independently of the core's predicates.
std::string findTopologyFault(const EdgeAlgebra::DelaunayTriangulation& triangulation,
                              const std::vector<EdgeAlgebra::Site*>& sortedSites);

// Planarity, for any sites (duplicates too): the topology holds and the faces
// other than the outer one have positive area and together fill the outer
// boundary exactly, so no two faces overlap.
std::string findPlanarityFault(const EdgeAlgebra::DelaunayTriangulation& triangulation,
                               const std::vector<EdgeAlgebra::Site*>& sortedSites);

// Geometry, for sites without duplicates: every bounded face is a
// counterclockwise triangle and together they tile the convex hull exactly; the
// edge count is 3n - 3 - h (n - 1 when all sites are collinear); no site lies
// strictly inside the circumcircle of any triangle. Decided exactly.
std::string findDelaunayFault(const EdgeAlgebra::DelaunayTriangulation& triangulation,
                              const std::vector<EdgeAlgebra::Site*>& sortedSites);

} // namespace SubdivisionCheck
