#pragma once

#include "construction/CompactConstruction.h"

#include <cstdint>
#include <vector>

namespace EdgeAlgebra {

// Marks a quad whose edge lies on no segment, or a vertex without an edge.
constexpr std::uint32_t kNoSegment = UINT32_MAX;

// A segment to keep, between two vertices of a compact triangulation, with
// its position in the caller's list (which names it in errors).
struct VertexSegment {
    std::uint32_t from;
    std::uint32_t to;
    std::uint32_t index;
};

// Turns a Delaunay triangulation into the constrained Delaunay triangulation
// of its vertices and the segments, inserted one by one in the order given.
// Returns, for every quad of the triangulation, the index of the segment its
// edge lies on, or kNoSegment. Two segments that cross throw
// std::invalid_argument naming both ("segments 2 and 5 cross"); the
// triangulation is then left half-changed, for the caller to discard.
template <typename Coordinate>
std::vector<std::uint32_t> insertSegments(CompactTriangulation<Coordinate>& built,
                                          const std::vector<VertexSegment>& segments);

} // namespace EdgeAlgebra
