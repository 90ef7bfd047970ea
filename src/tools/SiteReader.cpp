#include "SiteReader.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace TessaroTools {

namespace {

template <typename T>
T parseTo(const char* text, char** end);
template <>
float parseTo<float>(const char* text, char** end) {
    return std::strtof(text, end);
}
template <>
double parseTo<double>(const char* text, char** end) {
    return std::strtod(text, end);
}

// strtof and strtod round the decimal text straight to the nearest float or
// double, so a number written as the shortest text of either reads back as
// exactly that number. They need a terminated string, so the token is copied
// out first. Overflow comes back as an infinity with ERANGE; a literal "inf"
// or "nan" is no number at all. Underflow rounds towards zero and is kept.
template <typename T>
NumberResult parseAs(std::string_view token, double& value) {
    if (token.empty()) {
        return NumberResult::NotANumber;
    }
    const std::string text(token);
    char* end = nullptr;
    errno = 0;
    const T parsed = parseTo<T>(text.c_str(), &end);
    if (end != text.c_str() + text.size()) {
        return NumberResult::NotANumber;
    }
    if (std::isinf(parsed) && errno == ERANGE) {
        return NumberResult::OutOfRange;
    }
    if (!std::isfinite(parsed)) {
        return NumberResult::NotANumber;
    }
    value = parsed;
    return NumberResult::Ok;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::size_t skipBlanks(std::string_view line, std::size_t pos) {
    while (pos < line.size() && isBlank(line[pos])) {
        ++pos;
    }
    return pos;
}

// Parses the number that starts exactly at `pos` and advances `pos` past it.
NumberResult parseNumber(std::string_view line, std::size_t& pos, Precision precision,
                         double& value) {
    std::size_t end = pos;
    while (end < line.size() && !isBlank(line[end]) && line[end] != ',') {
        ++end;
    }
    const NumberResult result = parseCoordinate(line.substr(pos, end - pos), precision, value);
    if (result != NumberResult::NotANumber) {
        pos = end;
    }
    return result;
}

SiteLine toSiteLine(NumberResult result) {
    return result == NumberResult::OutOfRange ? SiteLine::OutOfRange : SiteLine::NotTwoNumbers;
}

} // namespace

NumberResult parseCoordinate(std::string_view token, Precision precision, double& value) {
    return precision == Precision::Float ? parseAs<float>(token, value)
                                         : parseAs<double>(token, value);
}

const char* outOfRangeText(Precision precision) {
    return precision == Precision::Float ? "number out of float range"
                                         : "number out of double range";
}

SiteLine parseSiteLine(std::string_view line, Precision precision, Position& site) {
    std::size_t pos = skipBlanks(line, 0);
    if (pos == line.size() || line[pos] == '#') {
        return SiteLine::Ignored;
    }
    double x = 0.0;
    double y = 0.0;
    if (NumberResult r = parseNumber(line, pos, precision, x); r != NumberResult::Ok) {
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
    if (NumberResult r = parseNumber(line, pos, precision, y); r != NumberResult::Ok) {
        return toSiteLine(r);
    }
    if (skipBlanks(line, pos) != line.size()) {
        return SiteLine::NotTwoNumbers;
    }
    site = Position{x, y};
    return SiteLine::Site;
}

std::vector<double> readSites(std::istream& in, const std::string& sourceName,
                              Precision precision) {
    std::vector<double> coords;
    std::string line;
    unsigned long lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        // Editors on some systems start a UTF-8 text file with a byte-order mark.
        if (lineNumber == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            line.erase(0, 3);
        }
        Position site{};
        switch (parseSiteLine(line, precision, site)) {
        case SiteLine::Site:
            coords.push_back(site.x);
            coords.push_back(site.y);
            break;
        case SiteLine::Ignored:
            break;
        case SiteLine::NotTwoNumbers:
            throw InputError(sourceName + ":" + std::to_string(lineNumber) +
                             ": expected two finite numbers separated by white space or a comma");
        case SiteLine::OutOfRange:
            throw InputError(sourceName + ":" + std::to_string(lineNumber) + ": " +
                             outOfRangeText(precision));
        }
    }
    if (in.bad()) {
        throw InputError(sourceName + ": read error");
    }
    if (coords.size() < 4) {
        throw InputError(sourceName + ": at least two sites are needed, found " +
                         std::to_string(coords.size() / 2));
    }
    return coords;
}

} // namespace TessaroTools
