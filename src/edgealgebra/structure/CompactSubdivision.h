#pragma once

#include "memory/PageArray.h"

#include <cassert>
#include <cstdint>
#include <vector>

namespace EdgeAlgebra {

// The quad-edge algebra on 32-bit indices, for building a large triangulation
// in memory that is dense and private to the build. A record is named by
// 4 * quad + position, with the same four positions as a QuadEdge block (0 and
// 2 the edge in both directions, 1 and 3 its dual); origins are vertex indices
// chosen by the caller (all below UINT32_MAX). A quad takes six 32-bit words.
//
// The quads live in one array of fixed size, allocated up front and never
// moved. Which quad a new edge takes is decided by a QuadRegion, so that
// separate parts of a build can make edges at the same time, each in a region
// of its own.
class CompactSubdivision {
public:
    using Record = std::uint32_t;

    CompactSubdivision() = default;
    // Room for `quadCapacity` quads, none of them in use yet; the caller's
    // regions hand them out.
    explicit CompactSubdivision(std::size_t quadCapacity) : m_words(quadCapacity * kWordsPerQuad) {}

    static Record rot(Record e) { return (e & ~3u) | ((e + 1) & 3u); }
    static Record sym(Record e) { return e ^ 2u; }
    static Record invRot(Record e) { return (e & ~3u) | ((e + 3) & 3u); }
    static std::uint32_t quadOf(Record e) { return e >> 2; }

    Record onext(Record e) const { return m_words[next(e)]; }
    Record oprev(Record e) const { return rot(onext(rot(e))); }
    // Reads only e's own quad: the left face's next edge is kept in the dual
    // record invRot(e).
    Record lnext(Record e) const { return rot(onext(invRot(e))); }
    Record rprev(Record e) const { return onext(sym(e)); }
    // Also from e's own quad: the edge before e around its left face is the
    // reverse of the next edge around e's origin.
    Record lprev(Record e) const { return sym(onext(e)); }
    // Origins exist on the primal records (positions 0 and 2) only.
    std::uint32_t org(Record e) const { return m_words[origin(e)]; }
    std::uint32_t dest(Record e) const { return org(sym(e)); }

    // Quad q, which must be free, becomes an isolated edge from origin to
    // destination, its rings linked as a fresh QuadEdge links them.
    Record makeEdge(std::uint32_t q, std::uint32_t origin, std::uint32_t destination) {
        std::uint32_t* quad = words(q);
        const Record e = 4 * q;
        quad[0] = e;
        quad[1] = e + 3;
        quad[2] = e + 2;
        quad[3] = e + 1;
        quad[4] = origin;
        quad[5] = destination;
        return e;
    }

    // Guibas and Stolfi's splice, exactly as QuadEdge::splice.
    void splice(Record a, Record b) {
        const Record bNext = onext(b);
        const Record aNext = onext(a);
        const Record alpha = rot(aNext);
        const Record beta = rot(bNext);
        const Record alphaNext = onext(alpha);
        const Record betaNext = onext(beta);
        setNext(a, bNext);
        setNext(b, aNext);
        setNext(alpha, betaNext);
        setNext(beta, alphaNext);
    }

    // Detaches e from both end rings and marks its quad free; the caller
    // hands the quad back to its region.
    void detach(Record e) {
        splice(e, oprev(e));
        splice(sym(e), oprev(sym(e)));
        markFree(e >> 2);
    }

    // Asks for the quad of record e to be fetched into the cache.
    void prefetch(Record e) const { __builtin_prefetch(&m_words[kWordsPerQuad * (e >> 2)]); }

    std::uint32_t quadSlots() const {
        return static_cast<std::uint32_t>(m_words.size() / kWordsPerQuad);
    }
    // Quads never taken, or detached, are not live.
    bool isLive(std::uint32_t q) const { return words(q)[4] != kFree; }
    void markFree(std::uint32_t q) { words(q)[4] = kFree; }

    // The words of quad q: its four links (Onext of positions 0 to 3), then
    // the origins of positions 0 and 2. The passes that turn a finished
    // subdivision into another form rewrite them in place.
    static constexpr std::size_t kWordsPerQuad = 6;
    std::uint32_t* words(std::uint32_t q) { return &m_words[kWordsPerQuad * q]; }
    const std::uint32_t* words(std::uint32_t q) const { return &m_words[kWordsPerQuad * q]; }
    // All words, and their pages to hand back once a pass has done with them.
    PageArray<std::uint32_t>& storage() { return m_words; }

    // Free quads are chained through their first link.
    std::uint32_t freeLink(std::uint32_t q) const { return words(q)[0]; }
    void setFreeLink(std::uint32_t q, std::uint32_t link) { words(q)[0] = link; }

private:
    static constexpr std::uint32_t kFree = UINT32_MAX; // origin of a quad not in use

    static std::size_t next(Record e) { return kWordsPerQuad * (e >> 2) + (e & 3); }
    static std::size_t origin(Record e) { return kWordsPerQuad * (e >> 2) + 4 + ((e >> 1) & 1); }
    void setNext(Record e, Record link) { m_words[next(e)] = link; }

    PageArray<std::uint32_t> m_words;
};

// The quads that one part of a build may take: quads freed by that part, then
// runs of quads never used. A region is handed a run of the quad array when
// its part of the build starts; when two parts are merged, the merging part
// takes over both regions (absorb). Every choice depends only on the order of
// the operations within each part, so a build that runs its parts on several
// threads numbers its quads exactly as one that runs them in turn.
class QuadRegion {
public:
    QuadRegion() = default;
    QuadRegion(std::uint32_t first, std::uint32_t end) {
        if (first != end) {
            m_fresh.push_back({first, end});
        }
    }

    // A quad to make an edge in: the one freed last, otherwise the next
    // never-used one. The caller keeps within the region's room.
    std::uint32_t take(const CompactSubdivision& edges) {
        if (m_freeHead != kNone) {
            const std::uint32_t q = m_freeHead;
            m_freeHead = edges.freeLink(q);
            if (m_freeHead == kNone) {
                m_freeTail = kNone;
            }
            return q;
        }
        while (m_fresh[m_current].first == m_fresh[m_current].end) {
            ++m_current;
            assert(m_current < m_fresh.size() && "a region holds room for every edge of its part");
        }
        return m_fresh[m_current].first++;
    }

    void give(CompactSubdivision& edges, std::uint32_t q) {
        edges.setFreeLink(q, m_freeHead);
        m_freeHead = q;
        if (m_freeTail == kNone) {
            m_freeTail = q;
        }
    }

    // Takes over the other region's quads: its freed quads after this one's,
    // its unused runs after this one's.
    void absorb(QuadRegion& other, CompactSubdivision& edges) {
        if (other.m_freeHead != kNone) {
            if (m_freeTail == kNone) {
                m_freeHead = other.m_freeHead;
            } else {
                edges.setFreeLink(m_freeTail, other.m_freeHead);
            }
            m_freeTail = other.m_freeTail;
        }
        for (std::size_t i = other.m_current; i < other.m_fresh.size(); ++i) {
            if (other.m_fresh[i].first != other.m_fresh[i].end) {
                m_fresh.push_back(other.m_fresh[i]);
            }
        }
        other = QuadRegion();
    }

    // Marks every quad the region still holds as free, so that a pass over
    // the whole array can tell them from live ones.
    void markUnusedFree(CompactSubdivision& edges) const {
        for (std::size_t i = m_current; i < m_fresh.size(); ++i) {
            for (std::uint32_t q = m_fresh[i].first; q != m_fresh[i].end; ++q) {
                edges.markFree(q);
            }
        }
    }

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    struct Run {
        std::uint32_t first;
        std::uint32_t end;
    };

    std::uint32_t m_freeHead = kNone;
    std::uint32_t m_freeTail = kNone;
    std::vector<Run> m_fresh;
    std::size_t m_current = 0;
};

} // namespace EdgeAlgebra
