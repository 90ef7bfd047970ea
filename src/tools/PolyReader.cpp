#include "PolyReader.h"

#include "SiteReader.h"

#include <edgealgebra/CrossingSegments.h>

#include <charconv>
#include <limits>

namespace TessaroTools {

namespace {

using Tokens = std::vector<std::string_view>;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// The file's lines that hold something, split into white-space separated
// tokens, with comments cut off; every error names the source and the line.
class PolyLines {
public:
    PolyLines(std::istream& in, const std::string& sourceName, Precision precision)
        : m_in(in), m_source(sourceName), m_precision(precision) {}

    // The next line that holds something; false at the end of the file.
    bool next() {
        while (std::getline(m_in, m_line)) {
            ++m_number;
            // Editors on some systems start a UTF-8 text file with a byte-order mark.
            if (m_number == 1 && m_line.compare(0, 3, "\xEF\xBB\xBF") == 0) {
                m_line.erase(0, 3);
            }
            const std::string_view line(m_line.data(), m_line.find('#') == std::string::npos
                                                           ? m_line.size()
                                                           : m_line.find('#'));
            m_tokens.clear();
            for (std::size_t pos = 0; pos < line.size();) {
                if (isBlank(line[pos])) {
                    ++pos;
                    continue;
                }
                std::size_t end = pos;
                while (end < line.size() && !isBlank(line[end])) {
                    ++end;
                }
                m_tokens.push_back(line.substr(pos, end - pos));
                pos = end;
            }
            if (!m_tokens.empty()) {
                return true;
            }
        }
        if (m_in.bad()) {
            throw InputError(m_source + ": read error");
        }
        return false;
    }

    // The next line that holds something, which must be there.
    const Tokens& expect(const std::string& what) {
        if (!next()) {
            failAtEnd("the file ends before " + what);
        }
        return m_tokens;
    }

    // Fails unless the line has as many tokens as expected.
    void expectCount(std::size_t count, const std::string& what) const {
        if (m_tokens.size() != count) {
            fail("expected " + what);
        }
    }

    unsigned long long count(std::string_view token, const std::string& what) const {
        unsigned long long value = 0;
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
        if (error != std::errc() || end != token.data() + token.size()) {
            fail(what + " '" + std::string(token) + "' is not a whole number");
        }
        return value;
    }

    long long integer(std::string_view token, const std::string& what) const {
        long long value = 0;
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
        if (error != std::errc() || end != token.data() + token.size()) {
            fail(what + " '" + std::string(token) + "' is not an integer");
        }
        return value;
    }

    // A coordinate, rounded to the precision's type.
    double coordinate(std::string_view token) const {
        double value = 0.0;
        switch (parseCoordinate(token, m_precision, value)) {
        case NumberResult::Ok:
            return value;
        case NumberResult::OutOfRange:
            fail(outOfRangeText(m_precision));
        case NumberResult::NotANumber:
            break;
        }
        fail("'" + std::string(token) + "' is not a finite number");
    }

    // An attribute: any number a double holds.
    double attribute(std::string_view token) const {
        double value = 0.0;
        if (parseCoordinate(token, Precision::Double, value) != NumberResult::Ok) {
            fail("attribute '" + std::string(token) + "' is not a finite number");
        }
        return value;
    }

    // An error on the current line.
    [[noreturn]] void fail(const std::string& message) const {
        throw InputError(m_source + ":" + std::to_string(m_number) + ": " + message);
    }
    // An error about the file as a whole, such as its early end.
    [[noreturn]] void failAtEnd(const std::string& message) const {
        throw InputError(m_source + ": " + message);
    }

    const Tokens& tokens() const { return m_tokens; }
    unsigned long number() const { return m_number; }

private:
    std::istream& m_in;
    const std::string& m_source;
    Precision m_precision;
    std::string m_line;
    Tokens m_tokens;
    unsigned long m_number = 0;
};

// "1 vertex", "3 vertices".
std::string counted(unsigned long long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string fileEnds(unsigned long long read, unsigned long long count, const char* one,
                     const char* many) {
    return "the file ends after " + std::to_string(read) + " of " + counted(count, one, many);
}

unsigned flag(PolyLines& lines, std::string_view token, const std::string& what) {
    const unsigned long long value = lines.count(token, what);
    if (value > 1) {
        lines.fail(what + " must be 0 or 1, not " + std::string(token));
    }
    return static_cast<unsigned>(value);
}

// The vertices: their coordinates go to `coords`, their first attributes (if
// they have any) to `values`. Returns the number of the first vertex, 0 or 1.
long long readVertices(PolyLines& lines, std::vector<double>& coords, std::vector<double>& values) {
    const Tokens& header = lines.expect("the vertex count");
    lines.expectCount(4, "the vertex count, the dimension 2, the attribute count and the "
                         "boundary-marker flag (0 or 1)");
    const unsigned long long count = lines.count(header[0], "vertex count");
    const unsigned long long dimension = lines.count(header[1], "dimension");
    const unsigned long long attributes = lines.count(header[2], "attribute count");
    const unsigned marker = flag(lines, header[3], "boundary-marker flag");
    if (dimension != 2) {
        lines.fail("dimension " + std::to_string(dimension) + ": only 2 is read");
    }
    if (count == 0) {
        lines.fail("vertex count 0: vertices in a separate .node file are not read; list them "
                   "in the .poly file");
    }
    if (count < 2) {
        lines.fail("at least two vertices are needed, found 1");
    }
    if (count > std::numeric_limits<std::uint32_t>::max()) {
        lines.fail("vertex count " + std::to_string(count) + " is more than 4294967295");
    }
    const std::string layout =
        "a vertex: its number, x, y" +
        (attributes > 0 ? ", " + counted(attributes, "attribute", "attributes") : "") +
        (marker ? " and a boundary marker" : "");
    long long first = 0;
    for (unsigned long long i = 0; i < count; ++i) {
        if (!lines.next()) {
            lines.failAtEnd(fileEnds(i, count, "vertex", "vertices"));
        }
        const Tokens& tokens = lines.tokens();
        if (tokens.size() < 3 + marker || tokens.size() - 3 - marker != attributes) {
            lines.fail("expected " + layout);
        }
        const long long number = lines.integer(tokens[0], "vertex number");
        if (i == 0 && number != 0 && number != 1) {
            lines.fail("the first vertex is numbered " + std::to_string(number) +
                       "; vertices are numbered from 0 or from 1");
        }
        first = i == 0 ? number : first;
        if (number != first + static_cast<long long>(i)) {
            lines.fail("vertex " + std::to_string(number) + " where vertex " +
                       std::to_string(first + static_cast<long long>(i)) +
                       " was expected: vertices are numbered one after the other");
        }
        coords.push_back(lines.coordinate(tokens[1]));
        coords.push_back(lines.coordinate(tokens[2]));
        for (std::size_t k = 3; k < tokens.size() - marker; ++k) {
            const double value = lines.attribute(tokens[k]);
            if (k == 3) {
                values.push_back(value);
            }
        }
        if (marker) {
            lines.integer(tokens.back(), "boundary marker");
        }
    }
    return first;
}

void readSegments(PolyLines& lines, long long first, PolyFile& poly) {
    const Tokens& header = lines.expect("the segment count");
    lines.expectCount(2, "the segment count and the boundary-marker flag (0 or 1)");
    const unsigned long long count = lines.count(header[0], "segment count");
    const unsigned marker = flag(lines, header[1], "boundary-marker flag");
    const std::vector<double>& coords = poly.input.coords;
    const long long vertices = static_cast<long long>(coords.size() / 2);
    for (unsigned long long i = 0; i < count; ++i) {
        if (!lines.next()) {
            lines.failAtEnd(fileEnds(i, count, "segment", "segments"));
        }
        lines.expectCount(3 + marker, marker ? "a segment: its number, two vertex numbers and a "
                                               "boundary marker"
                                             : "a segment: its number and two vertex numbers");
        const Tokens& tokens = lines.tokens();
        const long long number = lines.integer(tokens[0], "segment number");
        const std::string name = "segment " + std::to_string(number);
        long long ends[2];
        for (int k = 0; k < 2; ++k) {
            ends[k] = lines.integer(tokens[1 + k], "vertex number");
            if (ends[k] < first || ends[k] - first >= vertices) {
                lines.fail(name + " names vertex " + std::to_string(ends[k]) +
                           ", but the vertices are numbered " + std::to_string(first) + " to " +
                           std::to_string(first + vertices - 1));
            }
        }
        if (marker) {
            lines.integer(tokens[3], "boundary marker");
        }
        const std::size_t a = static_cast<std::size_t>(ends[0] - first);
        const std::size_t b = static_cast<std::size_t>(ends[1] - first);
        if (a == b) {
            lines.fail(name + " has both ends at vertex " + std::to_string(ends[0]));
        }
        if (coords[2 * a] == coords[2 * b] && coords[2 * a + 1] == coords[2 * b + 1]) {
            lines.fail(name + " joins vertices " + std::to_string(ends[0]) + " and " +
                       std::to_string(ends[1]) + ", which are at the same point");
        }
        poly.input.segments.push_back(static_cast<std::uint32_t>(a));
        poly.input.segments.push_back(static_cast<std::uint32_t>(b));
        poly.segmentSources.push_back({number, lines.number()});
    }
}

void readHoles(PolyLines& lines, std::vector<double>& holes) {
    const Tokens& header = lines.expect("the hole count");
    lines.expectCount(1, "the hole count");
    const unsigned long long count = lines.count(header[0], "hole count");
    for (unsigned long long i = 0; i < count; ++i) {
        if (!lines.next()) {
            lines.failAtEnd(fileEnds(i, count, "hole", "holes"));
        }
        lines.expectCount(3, "a hole: its number, x and y");
        lines.integer(lines.tokens()[0], "hole number");
        holes.push_back(lines.coordinate(lines.tokens()[1]));
        holes.push_back(lines.coordinate(lines.tokens()[2]));
    }
}

// The optional regions, each with a number, x, y, an attribute and,
// optionally, a maximum area: checked and dropped.
void skipRegions(PolyLines& lines) {
    if (!lines.next()) {
        return;
    }
    lines.expectCount(1, "the region count or the end of the file");
    const unsigned long long count = lines.count(lines.tokens()[0], "region count");
    for (unsigned long long i = 0; i < count; ++i) {
        if (!lines.next()) {
            lines.failAtEnd(fileEnds(i, count, "region", "regions"));
        }
        const Tokens& tokens = lines.tokens();
        if (tokens.size() != 4 && tokens.size() != 5) {
            lines.fail("expected a region: its number, x, y, an attribute and a maximum area");
        }
        lines.integer(tokens[0], "region number");
        for (std::size_t k = 1; k < tokens.size(); ++k) {
            lines.attribute(tokens[k]);
        }
    }
    if (lines.next()) {
        lines.fail("expected the end of the file after the regions");
    }
}

} // namespace

PolyFile readPoly(std::istream& in, const std::string& sourceName, Precision precision) {
    PolyLines lines(in, sourceName, precision);
    PolyFile poly;
    const long long first = readVertices(lines, poly.input.coords, poly.values);
    readSegments(lines, first, poly);
    readHoles(lines, poly.input.holes);
    skipRegions(lines);
    return poly;
}

std::string describeSegmentError(const PolyFile& poly, const std::string& sourceName,
                                 const std::invalid_argument& error) {
    const auto* crossing = dynamic_cast<const EdgeAlgebra::CrossingSegments*>(&error);
    if (crossing != nullptr && crossing->second() < poly.segmentSources.size()) {
        const SegmentSource& earlier = poly.segmentSources[crossing->first()];
        const SegmentSource& later = poly.segmentSources[crossing->second()];
        return sourceName + ":" + std::to_string(later.line) + ": segments " +
               std::to_string(earlier.number) + " and " + std::to_string(later.number) +
               " cross (segment " + std::to_string(earlier.number) + " is on line " +
               std::to_string(earlier.line) + ")";
    }
    return sourceName + ": " + error.what();
}

} // namespace TessaroTools
