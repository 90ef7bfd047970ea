#include "results/FlatTriangulation.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace EdgeAlgebra {

namespace {

using Record = CompactSubdivision::Record;

// The outer face is on the right of every record of the walk from `first`
// (rprev steps along the outer face): the hull counterclockwise, out and back
// along a collinear chain.
std::vector<Record> outerWalk(const CompactSubdivision& edges, Record first) {
    std::vector<Record> walk;
    Record e = first;
    do {
        walk.push_back(e);
        e = edges.rprev(e);
    } while (e != first);
    return walk;
}

// An output array that grows to a size known in advance, offered for huge
// pages so that filling it costs few page faults.
std::vector<std::uint32_t> reservedArray(std::size_t size) {
    std::vector<std::uint32_t> array;
    array.reserve(size);
    PageMemory::adviseHugePages(array.data(), size * sizeof(std::uint32_t));
    return array;
}

// Writes the triangles and their half-edges in one scan over the quads.
//
// A triangle is written when the scan meets its smallest record, and its
// half-edges are numbered from there, counterclockwise. Its other two records
// lie in the same quad or in later ones, so once the scan has passed a quad,
// the quad is never read again: by then both its records are numbered, their
// half-edges are paired, and its memory goes back to the system a stretch at
// a time, while the result grows. Words 0 and 2 of a quad (the Onext links of
// its primal records, no longer needed once the outer face is walked) hold
// the records' half-edge numbers; words 1 and 3 (the dual links) keep giving
// lnext, which reads a record's own quad only.
class FlatWriter {
public:
    FlatWriter(CompactTriangulation& built, std::size_t triangleCount)
        : m_edges(built.edges), m_vertices(built.vertices),
          m_numbered(2 * std::size_t{m_edges.quadSlots()}, false),
          m_triangles(reservedArray(3 * triangleCount)),
          m_halfedges(reservedArray(3 * triangleCount)) {}

    // Records whose left face is the outer face get no half-edge.
    void markOuterFace(const std::vector<Record>& walk) {
        for (const Record e : walk) {
            setNumber(CompactSubdivision::sym(e), kNone);
        }
    }

    void scan() {
        const std::uint32_t slots = m_edges.quadSlots();
        std::uint32_t kept = 0;
        for (std::uint32_t q = 0; q < slots; ++q) {
            prefetchTriangles(q, slots);
            if (!m_edges.isLive(q)) {
                continue;
            }
            for (const Record e : {4 * q, 4 * q + 2}) {
                if (!isNumbered(e)) {
                    writeTriangle(e);
                }
            }
            const std::uint32_t forward = number(4 * q), backward = number(4 * q + 2);
            if (forward != kNone && backward != kNone) {
                m_halfedges[forward] = backward;
                m_halfedges[backward] = forward;
            }
            if (q - kept >= kDiscardQuads) {
                m_edges.storage().discard(CompactSubdivision::kWordsPerQuad * kept,
                                          CompactSubdivision::kWordsPerQuad * q);
                kept = q;
            }
        }
    }

    std::vector<std::uint32_t> takeTriangles() { return std::move(m_triangles); }
    std::vector<std::uint32_t> takeHalfedges() { return std::move(m_halfedges); }

private:
    // Quads passed between two hand-backs of their memory (about 3 MB).
    static constexpr std::uint32_t kDiscardQuads = 1u << 17;

    // The scan is bound by fetching the quads of the triangles' other records
    // and their origin vertices, scattered in memory: it asks for them a few
    // quads ahead, the second record's quad first, then (once that has
    // arrived) the third record's quad and the vertices.
    void prefetchTriangles(std::uint32_t q, std::uint32_t slots) const {
        constexpr std::uint32_t kNear = 8, kFar = 16;
        if (q + kFar < slots) {
            for (const Record e : {4 * (q + kFar), 4 * (q + kFar) + 2}) {
                m_edges.prefetch(m_edges.lnext(e));
            }
        }
        if (q + kNear < slots && m_edges.isLive(q + kNear)) {
            for (const Record e : {4 * (q + kNear), 4 * (q + kNear) + 2}) {
                const Record second = m_edges.lnext(e);
                m_edges.prefetch(m_edges.lnext(second));
                __builtin_prefetch(&m_vertices[m_edges.org(e)]);
                __builtin_prefetch(&m_vertices[m_edges.org(second)]);
            }
        }
    }

    static std::size_t bit(Record e) { return (e >> 1); }
    bool isNumbered(Record e) const { return m_numbered[bit(e)]; }
    std::uint32_t number(Record e) const { return m_edges.words(e >> 2)[e & 2]; }
    void setNumber(Record e, std::uint32_t n) {
        m_edges.words(e >> 2)[e & 2] = n;
        m_numbered[bit(e)] = true;
    }

    void writeTriangle(Record e) {
        for (int k = 0; k < 3; ++k, e = m_edges.lnext(e)) {
            setNumber(e, static_cast<std::uint32_t>(m_triangles.size()));
            m_triangles.push_back(m_vertices[m_edges.org(e)].site);
            m_halfedges.push_back(kNone);
        }
    }

    CompactSubdivision& m_edges;
    const PageArray<CompactVertex>& m_vertices;
    std::vector<bool> m_numbered;
    std::vector<std::uint32_t> m_triangles;
    std::vector<std::uint32_t> m_halfedges;
};

} // namespace

Triangulation flatten(CompactTriangulation built) {
    Triangulation result;
    const std::vector<Record> walk = outerWalk(built.edges, built.first);
    const auto site = [&built](Record e) { return built.vertices[built.edges.org(e)].site; };
    // A triangulation of m sites, h of them on the hull boundary, has
    // 2m - 2 - h triangles; the walk along a chain of m collinear sites has
    // 2m - 2 records and finds none.
    const std::size_t triangleCount = 2 * built.vertices.size() - 2 - walk.size();
    if (triangleCount == 0) {
        // The first half of the walk meets every site once, in order.
        for (std::size_t i = 0; i <= walk.size() / 2; ++i) {
            result.hull.push_back(site(walk[i]));
        }
        return result;
    }
    result.hull.reserve(walk.size());
    for (const Record e : walk) {
        result.hull.push_back(site(e));
    }
    FlatWriter writer(built, triangleCount);
    writer.markOuterFace(walk);
    writer.scan();
    result.triangles = writer.takeTriangles();
    result.halfedges = writer.takeHalfedges();
    return result;
}

} // namespace EdgeAlgebra
