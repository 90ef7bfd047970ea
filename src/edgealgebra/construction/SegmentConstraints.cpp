#include "construction/SegmentConstraints.h"

#include "construction/SegmentInsertion.h"

#include <algorithm>

namespace EdgeAlgebra {

namespace {

using Record = CompactSubdivision::Record;

// The compact mesh for inserting segments: keeps one edge out of every
// vertex, mended when that edge goes. The polygons on the segments' sides are
// triangulated by the canonical tie rule that built the triangulation.
template <typename Coordinate>
class InsertionMesh : public CompactMesh<Coordinate, Cocircular::Canonical> {
public:
    using Base = CompactMesh<Coordinate, Cocircular::Canonical>;

    explicit InsertionMesh(CompactTriangulation<Coordinate>& built)
        : Base(built.edges, built.region, built.vertices.data()), m_edges(built.edges),
          m_outOf(built.vertices.size()) {
        for (std::uint32_t q = 0; q < m_edges.quadSlots(); ++q) {
            if (m_edges.isLive(q)) {
                m_outOf[m_edges.org(4 * q)] = 4 * q;
                m_outOf[m_edges.dest(4 * q)] = 4 * q + 2;
            }
        }
    }

    // Both ends of a removed edge keep others: the ends of an edge the
    // segment crosses lie on the two sides of the opened region.
    void removeEdge(Record e) {
        for (const Record end : {e, CompactSubdivision::sym(e)}) {
            if (m_outOf[m_edges.org(end)] == end) {
                m_outOf[m_edges.org(end)] = m_edges.onext(end);
            }
        }
        Base::removeEdge(e);
    }

    Record outOf(std::uint32_t vertex) const { return m_outOf[vertex]; }

private:
    CompactSubdivision& m_edges;
    std::vector<Record> m_outOf;
};

// Which quads lie on which segment, for the one being inserted.
class Constraints {
public:
    explicit Constraints(std::size_t quads) : m_segmentOf(quads, kNoSegment) {}

    void start(std::uint32_t segment) { m_current = segment; }
    bool isConstrained(Record e) const { return m_segmentOf[e >> 2] != kNoSegment; }
    // Where segments overlap, an edge stays with the first.
    void constrain(Record e) {
        if (m_segmentOf[e >> 2] == kNoSegment) {
            m_segmentOf[e >> 2] = m_current;
        }
    }
    [[noreturn]] void crossed(Record e) const {
        const std::uint32_t other = m_segmentOf[e >> 2];
        throw SegmentsCross{std::min(other, m_current), std::max(other, m_current)};
    }

    std::vector<std::uint32_t> take() { return std::move(m_segmentOf); }

private:
    std::vector<std::uint32_t> m_segmentOf;
    std::uint32_t m_current = kNoSegment;
};

} // namespace

template <typename Coordinate>
std::vector<std::uint32_t> insertSegments(CompactTriangulation<Coordinate>& built,
                                          const std::vector<VertexSegment>& segments) {
    InsertionMesh<Coordinate> mesh(built);
    Constraints constraints(built.edges.quadSlots());
    for (const VertexSegment& segment : segments) {
        constraints.start(segment.index);
        SegmentInsertion::insert(mesh, constraints, segment.from, segment.to,
                                 [&mesh](std::uint32_t v) { return mesh.outOf(v); });
    }
    return constraints.take();
}

template std::vector<std::uint32_t> insertSegments(CompactTriangulation<float>&,
                                                   const std::vector<VertexSegment>&);
template std::vector<std::uint32_t> insertSegments(CompactTriangulation<double>&,
                                                   const std::vector<VertexSegment>&);

} // namespace EdgeAlgebra
