#pragma once

#include "structure/HugePageAllocator.h"

#include <cstdint>

namespace EdgeAlgebra {

// The quad-edge algebra on 32-bit indices, for building a large triangulation
// in memory that is dense and private to the build. A record is named by
// 4 * quad + position, with the same four positions as a QuadEdge block (0 and
// 2 the edge in both directions, 1 and 3 its dual); origins are vertex indices
// chosen by the caller (all below UINT32_MAX). A quad takes 32 bytes, half a
// QuadEdge block, and removed quads are reused, so the working set of a build
// stays small.
class CompactSubdivision {
public:
    using Record = std::uint32_t;

    explicit CompactSubdivision(std::size_t expectedQuads) { m_quads.reserve(expectedQuads); }

    static Record rot(Record e) { return (e & ~3u) | ((e + 1) & 3u); }
    static Record sym(Record e) { return e ^ 2u; }
    static Record invRot(Record e) { return (e & ~3u) | ((e + 3) & 3u); }
    static std::uint32_t quadOf(Record e) { return e >> 2; }

    Record onext(Record e) const { return m_quads[e >> 2].next[e & 3]; }
    Record oprev(Record e) const { return rot(onext(rot(e))); }
    Record lnext(Record e) const { return rot(onext(invRot(e))); }
    Record rprev(Record e) const { return onext(sym(e)); }
    // Origins exist on the primal records (positions 0 and 2) only.
    std::uint32_t org(Record e) const { return m_quads[e >> 2].origin[(e >> 1) & 1]; }
    std::uint32_t dest(Record e) const { return org(sym(e)); }

    // An isolated edge from origin to destination, rings linked as a fresh
    // QuadEdge links them.
    Record makeEdge(std::uint32_t origin, std::uint32_t destination) {
        std::uint32_t q;
        if (m_freeList != kNoQuad) {
            q = m_freeList;
            m_freeList = m_quads[q].next[0];
        } else {
            q = static_cast<std::uint32_t>(m_quads.size());
            m_quads.emplace_back();
        }
        Quad& quad = m_quads[q];
        const Record e = 4 * q;
        quad.next[0] = e;
        quad.next[1] = e + 3;
        quad.next[2] = e + 2;
        quad.next[3] = e + 1;
        quad.origin[0] = origin;
        quad.origin[1] = destination;
        quad.payload = nullptr;
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

    // An edge from a's destination to b's origin, as QuadEdge::connect.
    Record connect(Record a, Record b) {
        const Record e = makeEdge(dest(a), org(b));
        splice(e, lnext(a));
        splice(sym(e), b);
        return e;
    }

    // Detaches e from both end rings and frees its quad for reuse.
    void removeEdge(Record e) {
        splice(e, oprev(e));
        splice(sym(e), oprev(sym(e)));
        const std::uint32_t q = e >> 2;
        m_quads[q].origin[0] = kFree;
        m_quads[q].next[0] = m_freeList; // a free quad links the free list
        m_freeList = q;
    }

    // Asks for the quad of record e to be fetched into the cache.
    void prefetch(Record e) const { __builtin_prefetch(&m_quads[e >> 2]); }

    // Quads are numbered 0 to quadSlots() - 1; removed ones are not live.
    std::uint32_t quadSlots() const { return static_cast<std::uint32_t>(m_quads.size()); }
    bool isLive(std::uint32_t q) const { return m_quads[q].origin[0] != kFree; }

    // One word per quad for the caller, null when the quad is made.
    void* payload(std::uint32_t q) const { return m_quads[q].payload; }
    void setPayload(std::uint32_t q, void* payload) { m_quads[q].payload = payload; }

private:
    static constexpr std::uint32_t kNoQuad = UINT32_MAX;
    static constexpr std::uint32_t kFree = UINT32_MAX; // origin of a removed quad

    struct Quad {
        Record next[4];
        std::uint32_t origin[2];
        void* payload;
    };

    void setNext(Record e, Record next) { m_quads[e >> 2].next[e & 3] = next; }

    ScratchVector<Quad> m_quads;
    std::uint32_t m_freeList = kNoQuad;
};

} // namespace EdgeAlgebra
