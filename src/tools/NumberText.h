#pragma once

#include "Precision.h"

#include <cstdint>
#include <ostream>
#include <string>

namespace TessaroTools {

// Collects output text and hands it to a stream in large blocks, so that
// writing millions of numbers costs little more than formatting them.
// Coordinates are written in the precision given: with Float each is a float
// held in a double, and is written as that float.
class TextBlockWriter {
public:
    explicit TextBlockWriter(std::ostream& out, Precision precision = Precision::Double)
        : m_out(out), m_precision(precision) {}
    ~TextBlockWriter() { flush(); }

    TextBlockWriter(const TextBlockWriter&) = delete;
    TextBlockWriter& operator=(const TextBlockWriter&) = delete;

    // The shortest text that reads back as exactly the same float.
    TextBlockWriter& number(float value);
    // The shortest text that reads back as exactly the same double.
    TextBlockWriter& number(double value);
    // In decimal digits, as "1000000" rather than "1e+06".
    TextBlockWriter& integer(std::uint64_t value);
    // A coordinate or a length: number(value) as a double, or as a float.
    TextBlockWriter& coordinate(double value);
    // Two coordinates separated by one space: "x y".
    TextBlockWriter& pair(double x, double y);
    TextBlockWriter& text(const std::string& value);
    TextBlockWriter& text(const char* value);
    TextBlockWriter& character(char value);
    // Hands everything collected so far to the stream.
    void flush();

private:
    void flushWhenFull();

    std::ostream& m_out;
    Precision m_precision;
    std::string m_block;
};

} // namespace TessaroTools
