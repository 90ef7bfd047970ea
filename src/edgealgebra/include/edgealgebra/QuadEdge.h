#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>

namespace EdgeAlgebra {

class Site;

// One directed edge record of Guibas and Stolfi's quad-edge structure. Four
// records make a quad: an edge in both directions (positions 0 and 2) and its
// dual in both directions (positions 1 and 3). The record at position 0 is the
// canonical record: it is created with `new QuadEdge` (make-edge), owns the
// other three, and deleting it (`delete e->canonical()`) is the only way to
// free a quad. A QuadEdge must only ever be created with new.
//
// Layout: the four records of a quad lie together in one 64-byte block that is
// aligned to 64 bytes, position i at offset 16 * i. The block itself is the
// quad's table: a record finds its position and its three siblings from its
// own address, so each record holds only its origin and its Onext link.
class QuadEdge {
public:
    // Make-edge: a new isolated quad whose origin and destination are null.
    QuadEdge();
    // The records are trivially destroyed; the canonical record's delete frees
    // the whole block.
    ~QuadEdge() = default;

    QuadEdge(const QuadEdge&) = delete;
    QuadEdge& operator=(const QuadEdge&) = delete;

    // Quads come from a per-thread pool of 64-byte blocks (plain aligned heap
    // blocks in sanitizer builds, so that the sanitizers see every quad). A
    // quad may be freed on any thread; the pool keeps freed memory for reuse.
    static void* operator new(std::size_t size);
    static void operator delete(void* block);
    static void* operator new[](std::size_t) = delete;
    static void operator delete[](void*) = delete;

    QuadEdge* rot() const { return sibling(1); }
    QuadEdge* sym() const { return sibling(2); }
    QuadEdge* invRot() const { return sibling(3); }
    QuadEdge* onext() const { return m_next; }
    QuadEdge* oprev() const { return rot()->onext()->rot(); }
    QuadEdge* lnext() const { return invRot()->onext()->rot(); }
    QuadEdge* rprev() const { return sym()->onext(); }
    Site* org() const { return m_origin; }
    Site* dest() const { return sym()->org(); }
    QuadEdge* canonical() const { return fromAddress(address() & ~kBlockMask); }

    void setOrg(Site* s) { m_origin = s; }
    void setDest(Site* s) { sym()->setOrg(s); }
    // Throws std::exception for a null edge, before changing anything.
    void setNext(QuadEdge* e) {
        if (e == nullptr) {
            throw std::exception();
        }
        m_next = e;
    }
    // Guibas and Stolfi's splice of this record and b: merges two origin rings
    // or splits one. Throws std::exception for a null b, before any change.
    void splice(QuadEdge* b);
    // Adds an edge from this edge's destination to b's origin and returns it.
    QuadEdge* connect(QuadEdge* b);
    // Detaches this edge from both end rings. Does not free it.
    void deleteEdge();

    // Number of quads made and not yet freed (all threads together).
    static std::size_t liveCount();

private:
    friend class QuadTraversal;

    // Two pointers: 16 bytes, 8 on 32-bit targets (WebAssembly).
    static constexpr std::uintptr_t kRecordBytes = 2 * sizeof(void*);
    static constexpr std::uintptr_t kBlockMask = 4 * kRecordBytes - 1;

    // A dual record of a fresh quad, position 1 to 3.
    explicit QuadEdge(QuadEdge* next) : m_origin(nullptr), m_next(next) {}

    std::uintptr_t address() const { return reinterpret_cast<std::uintptr_t>(this); }
    static QuadEdge* fromAddress(std::uintptr_t a) { return reinterpret_cast<QuadEdge*>(a); }
    QuadEdge* sibling(std::uintptr_t step) const {
        const std::uintptr_t a = address();
        return fromAddress((a & ~kBlockMask) | ((a + step * kRecordBytes) & kBlockMask));
    }

    // Origin site on the primal records; null on the dual records, except
    // while an edge traversal uses the rot record's field as its visit mark.
    Site* m_origin;
    QuadEdge* m_next;
};

inline void QuadEdge::splice(QuadEdge* b) {
    if (b == nullptr) {
        throw std::exception();
    }
    QuadEdge* bNext = b->onext();
    QuadEdge* aNext = onext();
    QuadEdge* alpha = aNext->rot();
    QuadEdge* beta = bNext->rot();
    QuadEdge* alphaNext = alpha->onext();
    QuadEdge* betaNext = beta->onext();

    m_next = bNext;
    b->setNext(aNext);
    alpha->setNext(betaNext);
    beta->setNext(alphaNext);
}

inline QuadEdge* QuadEdge::connect(QuadEdge* b) {
    QuadEdge* e = new QuadEdge;
    e->setOrg(dest());
    e->sym()->setOrg(b->org());
    e->splice(lnext());
    e->sym()->splice(b);
    return e;
}

inline void QuadEdge::deleteEdge() {
    splice(oprev());
    sym()->splice(sym()->oprev());
}

} // namespace EdgeAlgebra
