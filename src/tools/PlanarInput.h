#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace TessaroTools {

// A point of the plane, as read and as written.
struct Position {
    double x;
    double y;
};

// What the command triangulates: the sites of a site file, or the vertices,
// segments and holes of a .poly file.
struct PlanarInput {
    // x0, y0, x1, y1, ...: every site in input order. With Precision::Float
    // each is a float, held in a double.
    std::vector<double> coords;
    // Pairs of site indices, each a segment the triangulation must keep.
    std::vector<std::uint32_t> segments;
    // x0, y0, x1, y1, ...: a point inside each hole.
    std::vector<double> holes;
};

// An input that cannot be used. The message names the source and, for a bad
// line, its number: "sites.txt:3: ...".
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace TessaroTools
