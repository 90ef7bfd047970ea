#pragma once

#include "PlanarInput.h"
#include "Precision.h"

#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

namespace TessaroTools {

// Where a segment of a .poly file was given: its number there and its line.
struct SegmentSource {
    long long number;
    unsigned long line;
};

// A .poly file: its vertices as the sites, its segments as pairs of site
// indices, its hole points, and where each segment was given.
struct PolyFile {
    PlanarInput input;
    // The first attribute of each vertex, when the vertices have attributes.
    std::vector<double> values;
    std::vector<SegmentSource> segmentSources;
};

// Reads a .poly file. Comments start with '#' and run to the end of the
// line; blank lines are skipped. The sections, in order:
//   vertex count, dimension (2), attribute count, boundary-marker flag (0/1)
//   per vertex: number, x, y, the attributes, a marker if the flag is 1
//   segment count, boundary-marker flag (0/1)
//   per segment: number, two vertex numbers, a marker if the flag is 1
//   hole count; per hole: number, x, y
//   optionally a region count and per region: number, x, y, attribute and
//   maximum area (read and ignored)
// Vertices are numbered consecutively from 0 or from 1, as the first one
// is. Attributes and markers are checked to be numbers; the first attribute
// of each vertex is kept as its value, the rest and the markers are ignored.
// Throws InputError naming the source and the line for anything else, for a
// vertex count of 0 (vertices in a separate .node file), for fewer than two
// vertices, for segments that name missing vertices or join two vertices at
// the same point, and for a file that ends early. No count is trusted for
// more than the lines that follow it.
PolyFile readPoly(std::istream& in, const std::string& sourceName, Precision precision);

// The message for the core's refusal of a .poly's segments. Crossing
// segments (EdgeAlgebra::CrossingSegments, by their positions in the list)
// in the file's own terms: "shape.poly:14: segments 7 and 12 cross (segment
// 7 is on line 9)". Other messages come back after the source's name.
std::string describeSegmentError(const PolyFile& poly, const std::string& sourceName,
                                 const std::invalid_argument& error);

} // namespace TessaroTools
