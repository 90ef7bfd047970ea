#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace TessaroFuzz {

// Reads little-endian values from the fuzzer's bytes. Past the end every read
// yields zero, so a truncated input still decodes to something definite.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_pos >= m_size; }

    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

    std::int16_t int16() {
        const unsigned low = byte();
        const unsigned high = byte();
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
    }

    float rawFloat() {
        std::uint32_t bits = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            bits |= static_cast<std::uint32_t>(byte()) << shift;
        }
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

} // namespace TessaroFuzz
