#include "structure/QuadTraversal.h"

#include "memory/RingQueue.h"

#include <cstddef>

namespace EdgeAlgebra {

namespace {

// Any non-null value serves as the mark: the rot record is dual, so its origin
// field is otherwise always null.
Site* const kVisitMark = reinterpret_cast<Site*>(std::uintptr_t{1});

// Clears the marks of every listed quad when the traversal ends, normally or
// through an exception.
class MarkEraser {
public:
    explicit MarkEraser(ScratchVector<QuadEdge*>& quads, void (*unmark)(QuadEdge*))
        : m_quads(quads), m_unmark(unmark) {}
    ~MarkEraser() {
        constexpr std::size_t kPrefetchDistance = 16;
        for (std::size_t i = 0; i < m_quads.size(); ++i) {
            if (i + kPrefetchDistance < m_quads.size()) {
                __builtin_prefetch(m_quads[i + kPrefetchDistance]);
            }
            m_unmark(m_quads[i]);
        }
    }
    MarkEraser(const MarkEraser&) = delete;
    MarkEraser& operator=(const MarkEraser&) = delete;

private:
    ScratchVector<QuadEdge*>& m_quads;
    void (*m_unmark)(QuadEdge*);
};

} // namespace

void QuadTraversal::setMark(QuadEdge* canonical, bool marked) {
    canonical->rot()->m_origin = marked ? kVisitMark : nullptr;
}

// Breadth first over primal records: each newly listed edge queues the next
// edge around both of its end points (e.onext and e.sym.onext), which reaches
// exactly the quads that the depth-first walk of the edge walker reaches. A
// quad's four records share one cache line, so prefetching that line when a
// record is queued makes it ready by the time the record leaves the queue:
// the walk over a huge subdivision is then not bound by memory latency.
ScratchVector<QuadEdge*> QuadTraversal::canonicalRecords(QuadEdge* start) {
    ScratchVector<QuadEdge*> quads;
    if (start == nullptr) {
        return quads;
    }
    {
        MarkEraser eraser(quads, [](QuadEdge* q) { setMark(q, false); });
        RingQueue<QuadEdge*> pending;
        pending.push(start);
        while (!pending.empty()) {
            QuadEdge* e = pending.pop();
            QuadEdge* q = e->canonical();
            if (isMarked(q)) {
                continue;
            }
            quads.push_back(q); // before marking: a failed push leaves no stray mark
            setMark(q, true);
            for (QuadEdge* next : {e->onext(), e->sym()->onext()}) {
                __builtin_prefetch(next);
                pending.push(next);
            }
        }
    }
    return quads;
}

void QuadTraversal::freeReachable(std::initializer_list<QuadEdge*> starts) noexcept {
    // The mark of a listed quad is the next quad of the list, or kVisitMark
    // for the last one.
    const auto next = [](const QuadEdge* q) {
        Site* const mark = q->rot()->m_origin;
        return mark == kVisitMark ? nullptr : reinterpret_cast<QuadEdge*>(mark);
    };
    QuadEdge* first = nullptr;
    QuadEdge* last = nullptr;
    const auto list = [&first, &last](QuadEdge* e) {
        QuadEdge* q = e->canonical();
        if (isMarked(q)) {
            return;
        }
        q->rot()->m_origin = kVisitMark;
        if (last == nullptr) {
            first = q;
        } else {
            last->rot()->m_origin = reinterpret_cast<Site*>(q);
        }
        last = q;
    };
    for (QuadEdge* start : starts) {
        if (start != nullptr) {
            list(start);
        }
    }
    for (QuadEdge* q = first; q != nullptr; q = next(q)) {
        list(q->onext());
        list(q->sym()->onext());
    }
    while (first != nullptr) {
        QuadEdge* const following = next(first);
        delete first;
        first = following;
    }
}

} // namespace EdgeAlgebra
