#include "edgealgebra/QuadEdge.h"

#include <atomic>
#include <exception>

namespace EdgeAlgebra {

namespace {
std::atomic<std::size_t> g_liveQuads{0};
} // namespace

QuadEdge::QuadEdge() : m_origin(nullptr), m_next(nullptr), m_index(0), m_quad(new QuadEdge*[4]) {
    m_quad[0] = this;
    int made = 1;
    try {
        for (; made < 4; ++made) {
            m_quad[made] = new QuadEdge(m_quad, made);
        }
    } catch (...) {
        for (int i = 1; i < made; ++i) {
            delete m_quad[i];
        }
        delete[] m_quad;
        throw;
    }
    // Rings of an isolated edge: each end is alone in its origin ring, and the
    // dual records (the single face on both sides) point at each other.
    m_next = this;
    m_quad[1]->setNext(m_quad[3]);
    m_quad[2]->setNext(m_quad[2]);
    m_quad[3]->setNext(m_quad[1]);
    g_liveQuads.fetch_add(1, std::memory_order_relaxed);
}

QuadEdge::QuadEdge(QuadEdge** quad, int index)
    : m_origin(nullptr), m_next(nullptr), m_index(index), m_quad(quad) {}

QuadEdge::~QuadEdge() {
    if (m_index != 0) {
        return;
    }
    for (int i = 1; i < 4; ++i) {
        delete m_quad[i];
    }
    delete[] m_quad;
    g_liveQuads.fetch_sub(1, std::memory_order_relaxed);
}

std::size_t QuadEdge::liveCount() {
    return g_liveQuads.load(std::memory_order_relaxed);
}

void QuadEdge::setNext(QuadEdge* e) {
    if (e == nullptr) {
        throw std::exception();
    }
    m_next = e;
}

void QuadEdge::splice(QuadEdge* b) {
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

QuadEdge* QuadEdge::connect(QuadEdge* b) {
    QuadEdge* e = new QuadEdge;
    e->setOrg(dest());
    e->sym()->setOrg(b->org());
    e->splice(lnext());
    e->sym()->splice(b);
    return e;
}

void QuadEdge::deleteEdge() {
    splice(oprev());
    sym()->splice(sym()->oprev());
}

} // namespace EdgeAlgebra
