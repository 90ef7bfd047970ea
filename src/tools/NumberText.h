#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace TessaroTools {

// Collects output text and hands it to a stream in large blocks, so that
// writing millions of numbers costs little more than formatting them.
class TextBlockWriter {
public:
    explicit TextBlockWriter(std::ostream& out) : m_out(out) {}
    ~TextBlockWriter() { flush(); }

    TextBlockWriter(const TextBlockWriter&) = delete;
    TextBlockWriter& operator=(const TextBlockWriter&) = delete;

    // The shortest text that reads back as exactly the same float.
    TextBlockWriter& number(float value);
    // The shortest text that reads back as exactly the same double.
    TextBlockWriter& number(double value);
    // In decimal digits, as "1000000" rather than "1e+06".
    TextBlockWriter& integer(std::uint64_t value);
    // Two floats separated by one space: "x y".
    TextBlockWriter& pair(float x, float y);
    TextBlockWriter& text(const std::string& value);
    TextBlockWriter& text(const char* value);
    TextBlockWriter& character(char value);
    // Hands everything collected so far to the stream.
    void flush();

private:
    void flushWhenFull();

    std::ostream& m_out;
    std::string m_block;
};

} // namespace TessaroTools
