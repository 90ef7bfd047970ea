#pragma once

#include <random>

namespace DelaunayTest {

// The scene's pseudo-random integers, uniform over 0 to 32767. The draw keeps
// the top 15 bits of a 32-bit Mersenne Twister output, so anyone who knows the
// seed can reproduce the sequence with the standard engine.
class RandomSource {
public:
    static constexpr int range = 32768;

    explicit RandomSource(unsigned seed) : m_engine(seed) {}

    int next() { return static_cast<int>(m_engine() >> 17); }

private:
    std::mt19937 m_engine;
};

} // namespace DelaunayTest
