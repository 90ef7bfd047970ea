#pragma once

#include "edgealgebra/QuadEdge.h"
#include "memory/HugePageAllocator.h"

#include <initializer_list>
#include <vector>

namespace EdgeAlgebra {

// Internal to the core: lists the quads of a connected subdivision once each,
// marking visited quads in the quad itself instead of looking them up in a
// container. The marks are cleared again before the list is returned (also when
// an allocation fails), so a subdivision must not be traversed by two threads
// at once.
class QuadTraversal {
public:
    // The canonical records of every quad reachable from start through sym and
    // onext, in no particular order. A null start gives an empty list.
    static ScratchVector<QuadEdge*> canonicalRecords(QuadEdge* start);

    // Frees every quad reachable from any of the starts (null ones are
    // skipped), without allocating anything: it serves to clean up after a
    // failed allocation. The visit marks double as the links of the list of
    // quads found, which is the queue of the walk as well.
    static void freeReachable(std::initializer_list<QuadEdge*> starts) noexcept;

private:
    static bool isMarked(const QuadEdge* canonical) {
        return canonical->rot()->m_origin != nullptr;
    }
    static void setMark(QuadEdge* canonical, bool marked);
};

} // namespace EdgeAlgebra
