#pragma once

#include "PlanarInput.h"
#include "Precision.h"

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace TessaroTools {

enum class NumberResult { Ok, NotANumber, OutOfRange };

// Reads a whole token as a finite number, rounded to the nearest double or
// float: OutOfRange beyond that type's range, NotANumber for anything but a
// number (also "inf" and "nan"). `value` is set only when Ok.
NumberResult parseCoordinate(std::string_view token, Precision precision, double& value);

// "number out of double range", or of float range.
const char* outOfRangeText(Precision precision);

// What one line of a site file holds.
enum class SiteLine { Site, Ignored, NotTwoNumbers, OutOfRange };

// Reads one line: two numbers separated by white space or by a comma (with
// optional white space around it). Blank lines and lines whose first
// non-blank character is '#' are Ignored. Non-finite numbers are rejected;
// finite numbers beyond the range of the precision's type are OutOfRange.
// `site` is set only for a Site.
SiteLine parseSiteLine(std::string_view line, Precision precision, Position& site);

// Reads the whole stream line by line and returns its sites in file order
// as x0, y0, x1, y1, ... Throws InputError at the first bad line, on a read
// failure, and when fewer than two sites were found. `sourceName` is used in
// the messages.
std::vector<double> readSites(std::istream& in, const std::string& sourceName, Precision precision);

// Throws InputError (naming `sourceName`) unless the sites (x0, y0, x1, y1,
// ...) hold at least two distinct points.
void requireDistinctSites(const std::vector<double>& coords, const std::string& sourceName);

// Scattered measurements: the sites as x0, y0, x1, y1, ... and one value per
// site, in file order.
struct Samples {
    std::vector<double> coords;
    std::vector<double> values;
};

// The same for lines of three numbers, "x y value" (separated as the sites'
// two are); the value is read in double precision whatever `precision`.
Samples readSamples(std::istream& in, const std::string& sourceName, Precision precision);

} // namespace TessaroTools
