#include "results/FlatTriangulation.h"

#include "construction/SegmentConstraints.h"
#include "memory/PageArray.h"
#include "parallel/ForkJoin.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <utility>
#include <vector>

namespace EdgeAlgebra {

// How the arrays come about. Triangle t is the one whose smallest record is
// the t-th such record in record order (its owner), written
// counterclockwise from the owner: corners org(owner), org(lnext(owner)),
// org(lprev(owner)), half-edges numbered 3t, 3t + 1, 3t + 2 in that order.
// The numbering depends only on the subdivision. Its records are numbered in
// the quads themselves: words 0 and 2 of a quad (the Onext links of its primal
// records, no longer needed once the outer face has been walked) take the
// records' half-edge numbers, while words 1 and 3 (the dual links) keep giving
// lnext. An owner's other two records lie in its own quad or in later ones,
// so once the writing has passed a quad, both its records are numbered: the
// two opposite half-edges are paired, and the quad's memory can go back to
// the system while the result grows.

namespace {

using Record = CompactSubdivision::Record;

constexpr std::uint32_t kChunkQuads = 1u << 16;

// The number of set bits, without the processor's own instruction, which a
// build for the baseline x86-64 may not use (it would call a slow library
// routine instead).
std::uint32_t setBits(std::uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0full;
    return static_cast<std::uint32_t>((x * 0x0101010101010101ull) >> 56);
}

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

// The owners, for writing in chunks on several threads: a record tells from
// its own quad alone whether it is the smallest of its triangle (both lnext
// and lprev are kept there), so every chunk finds its owners independently,
// and the counts of the chunks before it give its first triangle number. One
// bit per primal record.
class Owners {
public:
    Owners(const CompactSubdivision& edges, const std::vector<Record>& outer, unsigned threads)
        : m_bits((2 * std::size_t{edges.quadSlots()} + 63) / 64),
          m_firstTriangle(chunkCount(edges) + 1, 0) {
        ForkJoin::forEachRange(threads, m_bits.size(), kChunkWords,
                               [&](std::size_t begin, std::size_t end) {
                                   for (std::size_t word = begin; word < end; ++word) {
                                       m_bits[word] = ownerBits(edges, word);
                                   }
                               });
        // The outer face is no triangle, even where it has three edges.
        for (const Record e : outer) {
            const std::size_t inside = bit(CompactSubdivision::sym(e));
            m_bits[inside / 64] &= ~(std::uint64_t{1} << (inside % 64));
        }
        for (std::size_t word = 0; word < m_bits.size(); ++word) {
            m_firstTriangle[word / kChunkWords + 1] += setBits(m_bits[word]);
        }
        std::partial_sum(m_firstTriangle.begin(), m_firstTriangle.end(), m_firstTriangle.begin());
    }

    static std::size_t chunkCount(const CompactSubdivision& edges) {
        return (edges.quadSlots() + kChunkQuads - 1) / kChunkQuads;
    }

    // The first triangle number of chunk c; of chunkCount() the total.
    std::uint32_t firstTriangle(std::size_t c) const { return m_firstTriangle[c]; }

    bool owns(Record e) const { return (m_bits[bit(e) / 64] >> (bit(e) % 64)) & 1u; }

private:
    static constexpr std::size_t kWordQuads = 32; // two primal records each
    static constexpr std::size_t kChunkWords = kChunkQuads / kWordQuads;

    static std::size_t bit(Record e) { return e >> 1; }

    static std::uint64_t ownerBits(const CompactSubdivision& edges, std::size_t word) {
        std::uint64_t bits = 0;
        const auto first = static_cast<std::uint32_t>(word * kWordQuads);
        const std::uint32_t end =
            std::min(edges.quadSlots(), first + static_cast<std::uint32_t>(kWordQuads));
        for (std::uint32_t q = first; q < end; ++q) {
            if (!edges.isLive(q)) {
                continue;
            }
            for (const Record e : {4 * q, 4 * q + 2}) {
                if (e < edges.lnext(e) && e < edges.lprev(e)) {
                    bits |= std::uint64_t{1} << (bit(e) % 64);
                }
            }
        }
        return bits;
    }

    PageArray<std::uint64_t> m_bits;
    std::vector<std::uint32_t> m_firstTriangle;
};

// Writes the arrays into the result's vectors, on one thread or several.
template <typename Coordinate>
class FlatWriter {
public:
    FlatWriter(CompactTriangulation<Coordinate>& built, const std::vector<Record>& walk,
               const std::vector<std::uint32_t>* segmentOf)
        : m_edges(built.edges), m_vertices(built.vertices), m_segmentOf(segmentOf),
          // A triangulation of m sites, h of them on the hull boundary, has
          // 2m - 2 - h triangles.
          m_size(3 * (2 * built.vertices.size() - 2 - walk.size())), m_walk(walk) {}

    // One thread: a scan over the quads in order meets each triangle first
    // at its owner, so a record not numbered yet when the scan reaches it is
    // an owner; the triangles go straight to the end of the result (their
    // half-edges wait there as kNone until paired).
    void writeInOrder(Triangulation& result) {
        result.triangles = PageMemory::reservedHugeVector<std::uint32_t>(m_size);
        result.halfedges = PageMemory::reservedHugeVector<std::uint32_t>(m_size);
        if (m_segmentOf != nullptr) {
            result.constrained = PageMemory::reservedHugeVector<std::uint8_t>(m_size);
        }
        std::vector<bool> numbered(2 * std::size_t{m_edges.quadSlots()}, false);
        const auto setNumber = [this, &numbered](Record e, std::uint32_t n) {
            this->setNumber(e, n);
            numbered[e >> 1] = true;
        };
        markOuterFace(setNumber);
        const auto setHalfedge = [&result](std::uint32_t i, std::uint32_t opposite) {
            result.halfedges[i] = opposite;
        };
        const std::uint32_t slots = m_edges.quadSlots();
        for (std::uint32_t chunk = 0; chunk < slots; chunk += kChunkQuads) {
            const std::uint32_t end = std::min(slots, chunk + kChunkQuads);
            for (std::uint32_t q = chunk; q < end; ++q) {
                prefetch(q, end, [&numbered](Record e) { return !numbered[e >> 1]; });
                if (!m_edges.isLive(q)) {
                    continue;
                }
                for (const Record e : {4 * q, 4 * q + 2}) {
                    if (!numbered[e >> 1]) {
                        const auto first = static_cast<std::uint32_t>(result.triangles.size());
                        std::uint32_t corners[3];
                        std::uint8_t flags[3];
                        writeTriangle(e, corners, flags, first, setNumber);
                        for (int k = 0; k < 3; ++k) {
                            result.triangles.push_back(corners[k]);
                            result.halfedges.push_back(kNone);
                            if (m_segmentOf != nullptr) {
                                result.constrained.push_back(flags[k]);
                            }
                        }
                    }
                }
                pair(q, setHalfedge);
            }
            discard(chunk, end);
        }
    }

    // Several threads: each chunk of quads writes the triangles it owns at
    // their numbers, into arrays whose pages cost nothing until written; once
    // every chunk up to one has finished, that chunk is passed. The arrays
    // then move into the result's vectors a stretch at a time, each
    // stretch's pages handed back once copied, so that the two never hold
    // the whole array at once.
    void writeInChunks(Triangulation& result, unsigned threads) {
        const Owners owners(m_edges, m_walk, threads);
        PageArray<std::uint32_t> triangles(m_size), halfedges(m_size);
        PageArray<std::uint8_t> constrained(m_segmentOf != nullptr ? m_size : 0);
        const auto setNumber = [this](Record e, std::uint32_t n) { this->setNumber(e, n); };
        markOuterFace(setNumber);
        const std::uint32_t slots = m_edges.quadSlots();
        ForkJoin::forEachChunk(
            threads, Owners::chunkCount(m_edges),
            [&](std::size_t c) {
                const auto chunk = static_cast<std::uint32_t>(c * kChunkQuads);
                const std::uint32_t end = std::min(slots, chunk + kChunkQuads);
                std::uint32_t first = 3 * owners.firstTriangle(c);
                for (std::uint32_t q = chunk; q < end; ++q) {
                    prefetch(q, end, [&owners](Record e) { return owners.owns(e); });
                    for (const Record e : {4 * q, 4 * q + 2}) {
                        if (owners.owns(e)) {
                            std::uint8_t flags[3];
                            writeTriangle(e, &triangles[first], flags, first, setNumber);
                            if (m_segmentOf != nullptr) {
                                std::copy(flags, flags + 3, &constrained[first]);
                            }
                            first += 3;
                        }
                    }
                }
            },
            [&](std::size_t c) {
                const auto chunk = static_cast<std::uint32_t>(c * kChunkQuads);
                const std::uint32_t end = std::min(slots, chunk + kChunkQuads);
                for (std::uint32_t q = chunk; q < end; ++q) {
                    if (m_edges.isLive(q)) {
                        pair(q, [&halfedges](std::uint32_t i, std::uint32_t opposite) {
                            halfedges[i] = opposite;
                        });
                    }
                }
                discard(chunk, end);
            });
        result.triangles = handOver(triangles);
        result.halfedges = handOver(halfedges);
        result.constrained = handOver(constrained);
    }

private:
    std::uint32_t number(Record e) const { return m_edges.words(e >> 2)[e & 2]; }
    void setNumber(Record e, std::uint32_t n) { m_edges.words(e >> 2)[e & 2] = n; }
    std::uint32_t siteAt(Record e) const { return m_vertices[m_edges.org(e)].site; }

    // Records whose left face is the outer face get no half-edge.
    template <typename SetNumber>
    void markOuterFace(SetNumber setNumber) {
        for (const Record e : m_walk) {
            setNumber(CompactSubdivision::sym(e), kNone);
        }
    }

    // The corners, and whether each half-edge lies on a segment.
    template <typename SetNumber>
    void writeTriangle(Record owner, std::uint32_t* corners, std::uint8_t* flags,
                       std::uint32_t first, SetNumber setNumber) {
        const Record records[3] = {owner, m_edges.lnext(owner), m_edges.lprev(owner)};
        for (std::uint32_t k = 0; k < 3; ++k) {
            corners[k] = siteAt(records[k]);
            flags[k] = m_segmentOf != nullptr && (*m_segmentOf)[records[k] >> 2] != kNoSegment;
        }
        for (std::uint32_t k = 0; k < 3; ++k) {
            setNumber(records[k], first + k);
        }
    }

    // The two records of a live quad whose records are both numbered are
    // opposite half-edges.
    template <typename SetHalfedge>
    void pair(std::uint32_t q, SetHalfedge setHalfedge) const {
        const std::uint32_t forward = number(4 * q), backward = number(4 * q + 2);
        if (forward != kNone) {
            setHalfedge(forward, backward);
        }
        if (backward != kNone) {
            setHalfedge(backward, forward);
        }
    }

    // Quads [begin, end) will not be read again.
    void discard(std::uint32_t begin, std::uint32_t end) {
        m_edges.storage().discard(CompactSubdivision::kWordsPerQuad * begin,
                                  CompactSubdivision::kWordsPerQuad * end);
    }

    template <typename T>
    static std::vector<T> handOver(PageArray<T>& built) {
        constexpr std::size_t kStretch = (std::size_t{1} << 21) / sizeof(T); // 2 MiB
        std::vector<T> result = PageMemory::reservedHugeVector<T>(built.size());
        for (std::size_t begin = 0; begin < built.size(); begin += kStretch) {
            const std::size_t end = std::min(built.size(), begin + kStretch);
            result.insert(result.end(), built.data() + begin, built.data() + end);
            built.discard(begin, end);
        }
        return result;
    }

    // The writing is bound by fetching the quads of the owners' other two
    // records and the corners' vertices, scattered in memory. Both records
    // are named in the owner's own quad (lnext and lprev), so their quads
    // are asked for a few quads ahead, and the vertices, named in those
    // quads, a few quads later. `mayOwn` says which records may be owners:
    // a record numbered already no longer names its lprev.
    template <typename MayOwn>
    void prefetch(std::uint32_t q, std::uint32_t end, MayOwn mayOwn) const {
        constexpr std::uint32_t kNear = 8, kFar = 16;
        if (q + kFar < end && m_edges.isLive(q + kFar)) {
            for (const Record e : {4 * (q + kFar), 4 * (q + kFar) + 2}) {
                if (mayOwn(e)) {
                    m_edges.prefetch(m_edges.lnext(e));
                    m_edges.prefetch(m_edges.lprev(e));
                    __builtin_prefetch(&m_vertices[m_edges.org(e)]);
                }
            }
        }
        if (q + kNear < end && m_edges.isLive(q + kNear)) {
            for (const Record e : {4 * (q + kNear), 4 * (q + kNear) + 2}) {
                if (mayOwn(e)) {
                    __builtin_prefetch(&m_vertices[m_edges.org(m_edges.lnext(e))]);
                    __builtin_prefetch(&m_vertices[m_edges.org(m_edges.lprev(e))]);
                }
            }
        }
    }

    CompactSubdivision& m_edges;
    const PageArray<CompactVertex<Coordinate>>& m_vertices;
    const std::vector<std::uint32_t>* m_segmentOf;
    std::size_t m_size;
    const std::vector<Record>& m_walk;
};

} // namespace

template <typename Coordinate>
Triangulation flatten(CompactTriangulation<Coordinate> built, unsigned threads,
                      const std::vector<std::uint32_t>* segmentOf) {
    Triangulation result;
    const std::vector<Record> walk = outerWalk(built.edges, built.first);
    const auto site = [&built](Record e) { return built.vertices[built.edges.org(e)].site; };
    // A chain of m collinear sites has no triangle, and the walk along it
    // 2m - 2 records; a triangulation has fewer hull edges than that.
    if (walk.size() == 2 * built.vertices.size() - 2) {
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
    FlatWriter<Coordinate> writer(built, walk, segmentOf);
    if (threads == 1) {
        writer.writeInOrder(result);
    } else {
        writer.writeInChunks(result, threads);
    }
    return result;
}

template Triangulation flatten(CompactTriangulation<float>, unsigned,
                               const std::vector<std::uint32_t>*);
template Triangulation flatten(CompactTriangulation<double>, unsigned,
                               const std::vector<std::uint32_t>*);

} // namespace EdgeAlgebra
