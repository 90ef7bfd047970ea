#include "edgealgebra/QuadEdge.h"

#include "memory/QuadPool.h"

#include <cassert>
#include <new>

namespace EdgeAlgebra {

static_assert(sizeof(QuadEdge) == 2 * sizeof(void*),
              "four records must fill one block of eight pointers");

void* QuadEdge::operator new(std::size_t size) {
    assert(size == sizeof(QuadEdge));
    (void)size;
    return QuadPool::allocate();
}

void QuadEdge::operator delete(void* block) {
    QuadPool::release(block);
}

// Constructs the other three records in the rest of the block and links the
// rings of an isolated edge: each end alone in its origin ring, and the two
// dual records (the single face on both sides) pointing at each other.
QuadEdge::QuadEdge() : m_origin(nullptr), m_next(this) {
    assert((address() & kBlockMask) == 0 && "a QuadEdge must be created with new");
    QuadEdge* dual = ::new (reinterpret_cast<void*>(address() + kRecordBytes)) QuadEdge(nullptr);
    QuadEdge* reverse =
        ::new (reinterpret_cast<void*>(address() + 2 * kRecordBytes)) QuadEdge(nullptr);
    QuadEdge* invDual =
        ::new (reinterpret_cast<void*>(address() + 3 * kRecordBytes)) QuadEdge(dual);
    dual->m_next = invDual;
    reverse->m_next = reverse;
}

std::size_t QuadEdge::liveCount() {
    return QuadPool::liveBlocks();
}

} // namespace EdgeAlgebra
