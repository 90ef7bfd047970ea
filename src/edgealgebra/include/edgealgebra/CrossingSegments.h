#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace EdgeAlgebra {

// Two segments of a constrained triangulation that cross, named by their
// positions in the caller's list of segments, first < second. The message is
// "triangulate: segments 2 and 5 cross"; callers that name segments in their
// own terms read the two positions instead.
class CrossingSegments : public std::invalid_argument {
public:
    CrossingSegments(std::uint32_t first, std::uint32_t second)
        : std::invalid_argument("triangulate: segments " + std::to_string(first) + " and " +
                                std::to_string(second) + " cross"),
          m_first(first), m_second(second) {}

    std::uint32_t first() const { return m_first; }
    std::uint32_t second() const { return m_second; }

private:
    std::uint32_t m_first;
    std::uint32_t m_second;
};

} // namespace EdgeAlgebra
