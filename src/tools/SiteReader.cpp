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

namespace {

// Reads `count` numbers separated by white space or by a comma (with optional
// white space around it) into `numbers`: the first two in `precision`, any
// further ones (values, not coordinates) in double precision.
SiteLine parseNumbers(std::string_view line, Precision precision, double* numbers,
                      std::size_t count) {
    std::size_t pos = skipBlanks(line, 0);
    if (pos == line.size() || line[pos] == '#') {
        return SiteLine::Ignored;
    }
    for (std::size_t k = 0; k < count; ++k) {
        if (k > 0) {
            const std::size_t afterNumber = pos;
            pos = skipBlanks(line, pos);
            if (pos < line.size() && line[pos] == ',') {
                pos = skipBlanks(line, pos + 1);
            } else if (pos == afterNumber) {
                return SiteLine::NotTwoNumbers;
            }
            if (pos == line.size()) {
                return SiteLine::NotTwoNumbers;
            }
        }
        const Precision numberPrecision = k < 2 ? precision : Precision::Double;
        if (NumberResult r = parseNumber(line, pos, numberPrecision, numbers[k]);
            r != NumberResult::Ok) {
            return toSiteLine(r);
        }
    }
    return skipBlanks(line, pos) == line.size() ? SiteLine::Site : SiteLine::NotTwoNumbers;
}

// Reads the stream line by line, `count` numbers to a site line, each line's
// numbers handed to take(numbers). Throws InputError at the first bad line
// (`expected` says what a line holds), on a read failure, and when fewer than
// two sites were found.
template <typename Take>
void readLines(std::istream& in, const std::string& sourceName, Precision precision,
               std::size_t count, const char* expected, Take&& take) {
    std::string line;
    unsigned long lineNumber = 0;
    std::size_t sites = 0;
    double numbers[3] = {0, 0, 0};
    while (std::getline(in, line)) {
        ++lineNumber;
        // Editors on some systems start a UTF-8 text file with a byte-order mark.
        if (lineNumber == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            line.erase(0, 3);
        }
        switch (parseNumbers(line, precision, numbers, count)) {
        case SiteLine::Site:
            take(numbers);
            ++sites;
            break;
        case SiteLine::Ignored:
            break;
        case SiteLine::NotTwoNumbers:
            throw InputError(sourceName + ":" + std::to_string(lineNumber) + ": " + expected);
        case SiteLine::OutOfRange:
            throw InputError(sourceName + ":" + std::to_string(lineNumber) + ": " +
                             outOfRangeText(precision));
        }
    }
    if (in.bad()) {
        throw InputError(sourceName + ": read error");
    }
    if (sites < 2) {
        throw InputError(sourceName + ": at least two sites are needed, found " +
                         std::to_string(sites));
    }
}

} // namespace

SiteLine parseSiteLine(std::string_view line, Precision precision, Position& site) {
    double numbers[2] = {0, 0};
    const SiteLine result = parseNumbers(line, precision, numbers, 2);
    if (result == SiteLine::Site) {
        site = Position{numbers[0], numbers[1]};
    }
    return result;
}

std::vector<double> readSites(std::istream& in, const std::string& sourceName,
                              Precision precision) {
    std::vector<double> coords;
    readLines(
        in, sourceName, precision, 2,
        "expected two finite numbers separated by white space or a comma",
        [&coords](const double* numbers) { coords.insert(coords.end(), numbers, numbers + 2); });
    return coords;
}

void requireDistinctSites(const std::vector<double>& coords, const std::string& sourceName) {
    bool distinct = false;
    for (std::size_t i = 2; i < coords.size() && !distinct; i += 2) {
        distinct = coords[i] != coords[0] || coords[i + 1] != coords[1];
    }
    if (!distinct) {
        throw InputError(sourceName +
                         ": at least two distinct sites are needed, all sites coincide");
    }
}

Samples readSamples(std::istream& in, const std::string& sourceName, Precision precision) {
    Samples samples;
    readLines(in, sourceName, precision, 3,
              "expected three finite numbers (x y value) separated by white space or commas",
              [&samples](const double* numbers) {
                  samples.coords.insert(samples.coords.end(), numbers, numbers + 2);
                  samples.values.push_back(numbers[2]);
              });
    return samples;
}

} // namespace TessaroTools
