#include "NumberText.h"

#include <charconv>

namespace TessaroTools {

namespace {

constexpr std::size_t blockSize = 1 << 16;

template <typename T>
void appendShortest(std::string& block, T value) {
    char digits[64];
    const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
    block.append(digits, result.ptr);
}

} // namespace

TextBlockWriter& TextBlockWriter::number(float value) {
    appendShortest(m_block, value);
    flushWhenFull();
    return *this;
}

TextBlockWriter& TextBlockWriter::number(double value) {
    appendShortest(m_block, value);
    flushWhenFull();
    return *this;
}

TextBlockWriter& TextBlockWriter::integer(std::uint64_t value) {
    appendShortest(m_block, value);
    flushWhenFull();
    return *this;
}

TextBlockWriter& TextBlockWriter::coordinate(double value) {
    return m_precision == Precision::Float ? number(static_cast<float>(value)) : number(value);
}

TextBlockWriter& TextBlockWriter::pair(double x, double y) {
    return coordinate(x).character(' ').coordinate(y);
}

TextBlockWriter& TextBlockWriter::text(const std::string& value) {
    m_block += value;
    flushWhenFull();
    return *this;
}

TextBlockWriter& TextBlockWriter::text(const char* value) {
    m_block += value;
    flushWhenFull();
    return *this;
}

TextBlockWriter& TextBlockWriter::character(char value) {
    m_block += value;
    flushWhenFull();
    return *this;
}

void TextBlockWriter::flush() {
    if (!m_block.empty()) {
        m_out.write(m_block.data(), static_cast<std::streamsize>(m_block.size()));
        m_block.clear();
    }
}

void TextBlockWriter::flushWhenFull() {
    if (m_block.size() >= blockSize) {
        flush();
    }
}

} // namespace TessaroTools
