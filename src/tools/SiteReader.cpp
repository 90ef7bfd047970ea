#include "SiteReader.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace TessaroTools {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::size_t skipBlanks(std::string_view line, std::size_t pos) {
    while (pos < line.size() && isBlank(line[pos])) {
        ++pos;
    }
    return pos;
}

enum class NumberResult { Ok, NotANumber, OutOfRange };

// Parses the number that starts exactly at `pos` and advances `pos` past it.
// strtof rounds the decimal text straight to the nearest float, so a number
// written as the shortest text of a float reads back as that float. It needs
// a terminated string, so the token is copied out first.
NumberResult parseNumber(std::string_view line, std::size_t& pos, float& value) {
    std::size_t end = pos;
    while (end < line.size() && !isBlank(line[end]) && line[end] != ',') {
        ++end;
    }
    if (end == pos) {
        return NumberResult::NotANumber;
    }
    const std::string token(line.substr(pos, end - pos));
    char* parsedEnd = nullptr;
    errno = 0;
    const float parsed = std::strtof(token.c_str(), &parsedEnd);
    if (parsedEnd != token.c_str() + token.size()) {
        return NumberResult::NotANumber;
    }
    pos = end;
    // Overflow comes back as an infinity with ERANGE; a literal "inf" or "nan"
    // is no number at all. Underflow rounds towards zero and is kept.
    if (std::isinf(parsed) && errno == ERANGE) {
        return NumberResult::OutOfRange;
    }
    if (!std::isfinite(parsed)) {
        return NumberResult::NotANumber;
    }
    value = parsed;
    return NumberResult::Ok;
}

SiteLine toSiteLine(NumberResult result) {
    return result == NumberResult::OutOfRange ? SiteLine::OutOfRange : SiteLine::NotTwoNumbers;
}

} // namespace

SiteLine parseSiteLine(std::string_view line, DelaunayTest::Point& site) {
    std::size_t pos = skipBlanks(line, 0);
    if (pos == line.size() || line[pos] == '#') {
        return SiteLine::Ignored;
    }
    float x = 0.0f;
    float y = 0.0f;
    if (NumberResult r = parseNumber(line, pos, x); r != NumberResult::Ok) {
        return toSiteLine(r);
    }
    const std::size_t afterFirst = pos;
    pos = skipBlanks(line, pos);
    if (pos < line.size() && line[pos] == ',') {
        pos = skipBlanks(line, pos + 1);
    } else if (pos == afterFirst) {
        return SiteLine::NotTwoNumbers;
    }
    if (pos == line.size()) {
        return SiteLine::NotTwoNumbers;
    }
    if (NumberResult r = parseNumber(line, pos, y); r != NumberResult::Ok) {
        return toSiteLine(r);
    }
    if (skipBlanks(line, pos) != line.size()) {
        return SiteLine::NotTwoNumbers;
    }
    site = DelaunayTest::Point(x, y);
    return SiteLine::Site;
}

std::vector<DelaunayTest::Point> readSites(std::istream& in, const std::string& sourceName) {
    std::vector<DelaunayTest::Point> sites;
    std::string line;
    unsigned long lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        // Editors on some systems start a UTF-8 text file with a byte-order mark.
        if (lineNumber == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            line.erase(0, 3);
        }
        DelaunayTest::Point site;
        switch (parseSiteLine(line, site)) {
        case SiteLine::Site:
            sites.push_back(site);
            break;
        case SiteLine::Ignored:
            break;
        case SiteLine::NotTwoNumbers:
            throw InputError(sourceName + ":" + std::to_string(lineNumber) +
                             ": expected two finite numbers separated by white space or a comma");
        case SiteLine::OutOfRange:
            throw InputError(sourceName + ":" + std::to_string(lineNumber) +
                             ": number out of float range");
        }
    }
    if (in.bad()) {
        throw InputError(sourceName + ": read error");
    }
    if (sites.size() < 2) {
        throw InputError(sourceName + ": at least two sites are needed, found " +
                         std::to_string(sites.size()));
    }
    return sites;
}

} // namespace TessaroTools
