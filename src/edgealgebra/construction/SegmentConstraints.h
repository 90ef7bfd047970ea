#pragma once

#include "construction/CompactConstruction.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace EdgeAlgebra {

// Marks a quad whose edge lies on no segment, or a vertex without an edge.
constexpr std::uint32_t kNoSegment = UINT32_MAX;

// A site left out of the triangulation for an earlier one with equal
// coordinates.
struct Duplicate {
    std::uint32_t site;
    std::uint32_t kept;
};

// A segment by its end sites, as the caller gave it, with its position in the
// caller's list.
struct SiteSegment {
    std::uint32_t from;
    std::uint32_t to;
    std::uint32_t index;
};

// The segments (from0, to0, from1, to1, ... as site indices into `count`
// coordinates x0, y0, x1, y1, ...), checked one by one before anything is
// built: each end a site, each end's coordinates finite, the two ends at two
// points. Throws std::invalid_argument naming the first bad segment by its
// position, or for an odd number of indices.
template <typename Coordinate>
std::vector<SiteSegment> checkedSegments(const Coordinate* coords, std::size_t count,
                                         const std::vector<std::uint32_t>& segments);

// A segment to keep, between two vertices of a compact triangulation, with
// its position in the caller's list (which names it in errors).
struct VertexSegment {
    std::uint32_t from;
    std::uint32_t to;
    std::uint32_t index;
};

// The checked segments as segments between the vertices of the triangulation
// built on `sites` sites: an end at a duplicate site becomes the vertex of the
// site kept in its place. A segment given twice (either way round) counts
// once, the first time.
template <typename Coordinate>
std::vector<VertexSegment> vertexSegments(const std::vector<SiteSegment>& segments,
                                          const CompactTriangulation<Coordinate>& built,
                                          const std::vector<Duplicate>& duplicates,
                                          std::size_t sites);

// Thrown by insertSegments for two segments that cross, by their positions in
// the caller's list, first < second.
struct SegmentsCross {
    std::uint32_t first;
    std::uint32_t second;
};

// Turns a Delaunay triangulation into the constrained Delaunay triangulation
// of its vertices and the segments, inserted one by one in the order given.
// Returns, for every quad of the triangulation, the index of the segment its
// edge lies on, or kNoSegment. Two segments that cross throw SegmentsCross;
// the triangulation is then left half-changed, for the caller to discard.
template <typename Coordinate>
std::vector<std::uint32_t> insertSegments(CompactTriangulation<Coordinate>& built,
                                          const std::vector<VertexSegment>& segments);

} // namespace EdgeAlgebra
