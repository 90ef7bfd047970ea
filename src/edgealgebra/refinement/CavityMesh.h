#pragma once

#include "edgealgebra/Triangulate.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace EdgeAlgebra {
namespace Refinement {

// A half-edge on no segment.
constexpr std::uint32_t kFree = kNone;

struct Point {
    double x;
    double y;
};

// A triangle mesh that grows by inserting points: flat arrays in the
// conventions of Triangulation (kNone across the domain's boundary), with the
// segment each half-edge lies on (kFree for none; the boundary is always on
// one). A point goes in by the Bowyer–Watson step: the triangles whose
// circumcircle holds it strictly, reachable without crossing a segment, make
// its cavity, which is star-shaped from it and is replaced by the fan from
// the point to the cavity's rim. A segment is never flipped or crossed, so
// the mesh stays constrained Delaunay. A cavity of k triangles gives k + 1 or
// k + 2 new ones: their slots are reused and never freed, so a triangle's
// number stays valid while its corners change.
class CavityMesh {
public:
    CavityMesh(std::vector<double> coords, std::vector<std::uint32_t> triangles,
               std::vector<std::uint32_t> halfedges, std::vector<std::uint32_t> segmentOf);

    std::vector<double> coords;
    std::vector<std::uint32_t> triangles;
    std::vector<std::uint32_t> halfedges;
    std::vector<std::uint32_t> segmentOf;

    // Makes room for this many triangles in all (and vertices for them).
    void reserve(std::size_t triangleCount);

    std::uint32_t vertexCount() const { return static_cast<std::uint32_t>(coords.size() / 2); }
    std::uint32_t triangleCount() const { return static_cast<std::uint32_t>(triangles.size() / 3); }
    Point point(std::uint32_t v) const {
        return {coords[2 * std::size_t{v}], coords[2 * std::size_t{v} + 1]};
    }
    std::uint32_t org(std::uint32_t e) const { return triangles[e]; }
    std::uint32_t dest(std::uint32_t e) const { return triangles[nextHalfedge(e)]; }
    // The corner of e's triangle that e does not touch.
    std::uint32_t apex(std::uint32_t e) const { return triangles[prevHalfedge(e)]; }
    bool isSegment(std::uint32_t e) const { return segmentOf[e] != kFree; }

    int orientation(std::uint32_t a, std::uint32_t b, Point p) const;
    bool inCircumcircle(std::uint32_t triangle, Point p) const;

    // Where p lies, by a walk from triangle `from` along the line from its
    // centroid: the triangle holding p (inside or on its boundary), or the
    // segment (or boundary) half-edge that stands in the way, or neither when
    // the walk strays (only on a broken mesh).
    struct Location {
        std::uint32_t triangle = kNone;
        std::uint32_t blockedBy = kNone;
    };
    Location locate(std::uint32_t from, Point p) const;

    // Gathers the cavity of p from triangle `start`, or, when `split` is a
    // segment half-edge, from the triangles on both sides of it (p then
    // splits it). Returns false when p cannot go in: it falls on a corner of
    // the cavity or the fan from it would not turn counterclockwise.
    bool gatherCavity(std::uint32_t start, Point p, std::uint32_t split = kNone);
    // The rim of the gathered cavity: its half-edges whose far side lies
    // outside it, save the segment being split (gathered even where p
    // cannot go in).
    const std::vector<std::uint32_t>& rim() const { return m_rim; }

    // Adds p as a new vertex and fills the gathered cavity with the fan from
    // it. The halves of a split segment keep its segment. Returns the new
    // vertex; newTriangles() lists the fan's triangles.
    std::uint32_t insertGathered(Point p);
    const std::vector<std::uint32_t>& newTriangles() const { return m_fan; }

private:
    void mark(std::uint32_t triangle);
    bool marked(std::uint32_t triangle) const { return m_mark[triangle] == m_epoch; }

    std::vector<std::uint32_t> m_mark;
    std::uint32_t m_epoch = 0;
    std::vector<std::uint32_t> m_cavity;
    std::vector<std::uint32_t> m_rim;
    std::vector<std::uint32_t> m_fan;
    // Scratch space of insertGathered, kept between insertions.
    struct RimEdge {
        std::uint32_t from, to, twin, segment;
    };
    std::vector<RimEdge> m_rimEdges;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_fanFrom; // rim origin, triangle
    std::uint32_t m_split = kNone;
};

} // namespace Refinement
} // namespace EdgeAlgebra
