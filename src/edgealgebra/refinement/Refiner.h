#pragma once

#include "refinement/CavityMesh.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace EdgeAlgebra {
namespace Refinement {

// A segment of the refinement by its end vertices: an input segment, or a
// side of the convex hull where the whole hull is meshed.
struct SegmentEnds {
    std::uint32_t from;
    std::uint32_t to;
};

struct Bounds {
    double minAngle;        // degrees, 0 for none
    double maxArea;         // 0 for none
    std::size_t maxSteiner; // most new vertices
};

// Whether a triangle's smallest angle lies under minAngle (in degrees, 0 for
// none), decided on squared edge lengths.
bool hasAngleUnder(Point a, Point b, Point c, double minAngle);

// Refines the mesh until it meets the bounds; every half-edge on a segment
// names it in mesh.segmentOf (an index into `segments`), and the vertices
// below `inputVertices` are the input's. Returns the number of triangles
// left with a smaller angle because two segments meet at under 60 degrees
// next to them. Throws std::runtime_error past bounds.maxSteiner new
// vertices.
std::size_t refineMesh(CavityMesh& mesh, const std::vector<SegmentEnds>& segments,
                       std::uint32_t inputVertices, const Bounds& bounds);

} // namespace Refinement
} // namespace EdgeAlgebra
