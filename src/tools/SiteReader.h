#pragma once

#include "scene/Point.h"

#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace TessaroTools {

// A site file that cannot be used. The message names the source and, for a
// bad line, its number: "sites.txt:3: ...".
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What one line of a site file holds.
enum class SiteLine { Site, Ignored, NotTwoNumbers, OutOfRange };

// Reads one line: two numbers separated by white space or by a comma (with
// optional white space around it). Blank lines and lines whose first
// non-blank character is '#' are Ignored. Non-finite numbers are rejected;
// finite numbers beyond the float range are OutOfRange. `site` is set only for
// a Site.
SiteLine parseSiteLine(std::string_view line, DelaunayTest::Point& site);

// Reads the whole stream line by line and returns its sites in file order.
// Throws InputError at the first bad line, on a read failure, and when fewer
// than two sites were found. `sourceName` is used in the messages.
std::vector<DelaunayTest::Point> readSites(std::istream& in, const std::string& sourceName);

} // namespace TessaroTools
