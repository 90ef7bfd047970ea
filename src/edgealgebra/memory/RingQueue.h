#pragma once

#include <cstddef>
#include <vector>

namespace EdgeAlgebra {

// A first-in first-out queue in a ring buffer that doubles when full: the
// breadth-first traversals of the core hold only their front, not everything
// they have queued so far.
template <typename T>
class RingQueue {
public:
    RingQueue() : m_ring(64), m_head(0), m_size(0) {}

    bool empty() const { return m_size == 0; }

    void push(T value) {
        if (m_size == m_ring.size()) {
            grow();
        }
        m_ring[(m_head + m_size) & (m_ring.size() - 1)] = value;
        ++m_size;
    }

    std::size_t size() const { return m_size; }

    // The element that pop() would return after k more pops (k < size()).
    const T& peek(std::size_t k) const { return m_ring[(m_head + k) & (m_ring.size() - 1)]; }

    T pop() {
        T value = m_ring[m_head];
        m_head = (m_head + 1) & (m_ring.size() - 1);
        --m_size;
        return value;
    }

private:
    void grow() {
        std::vector<T> larger(m_ring.size() * 2);
        for (std::size_t i = 0; i < m_size; ++i) {
            larger[i] = m_ring[(m_head + i) & (m_ring.size() - 1)];
        }
        m_ring.swap(larger);
        m_head = 0;
    }

    std::vector<T> m_ring; // capacity always a power of two
    std::size_t m_head;
    std::size_t m_size;
};

} // namespace EdgeAlgebra
