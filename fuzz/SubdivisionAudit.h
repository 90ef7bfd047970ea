#pragma once

#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/Site.h"

#include <cstddef>
#include <string>
#include <vector>

namespace TessaroFuzz {

// What an audit of a finished triangulation found.
struct AuditResult {
    std::string fault;            // empty when every check holds
    std::size_t edges = 0;        // undirected edges reachable from the left hull edge
    std::size_t ccwTriangles = 0; // bounded faces: three sites turning counterclockwise
};

// The structure reachable from a triangulation's left hull edge: its primal
// records grouped by origin ring and by face (lnext orbit), and the first
// fault found in it, if any.
struct SubdivisionTopology {
    std::string fault; // empty when every check holds
    std::size_t edges = 0;
    std::vector<std::vector<EdgeAlgebra::QuadEdge*>> rings;
    std::vector<std::vector<EdgeAlgebra::QuadEdge*>> faces;
};

// The combinatorial part of the audit below, for any sites (coincident ones
// too): the hull edges, the quad invariants, closed rings, one origin ring
// per site, the walker's keys and Euler's formula. Geometry is left to the
// caller, who may decide it with predicates of its own.
SubdivisionTopology auditTopology(EdgeAlgebra::QuadEdge* left, EdgeAlgebra::QuadEdge* right,
                                  const std::vector<EdgeAlgebra::Site*>& sortedSites);

// Checks the subdivision built on `sortedSites` (sorted by siteLess, all
// finite) with hull edges `left` and `right`:
// - hull edges null for fewer than two sites, otherwise starting at the first
//   and last site;
// - every record keeps the quad invariants, every origin ring and face ring
//   closes, each ring has one origin, and every site has exactly one ring;
// - the walker's keys, from either hull edge, are exactly the reachable
//   quads; Euler's formula holds;
// - the edge count is at most 3n - 3 - h (h sites on the hull boundary), and
//   exactly that (n - 1 for collinear sites) when no two sites coincide;
// - without coincident sites, the bounded faces are counterclockwise
//   triangles around one outer face, none with a site strictly inside its
//   circumcircle.
// The walk is bounded by the size a triangulation of n sites can have, so a
// corrupted structure is reported rather than followed for ever.
AuditResult auditSubdivision(EdgeAlgebra::QuadEdge* left, EdgeAlgebra::QuadEdge* right,
                             const std::vector<EdgeAlgebra::Site*>& sortedSites);

} // namespace TessaroFuzz
