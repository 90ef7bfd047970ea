#pragma once

#include "TriangulationShapes.h"

#include <optional>
#include <ostream>
#include <string_view>

namespace TessaroTools {

enum class OutputFormat { Edges, Triangles, Circles, Svg };

// The format named on the command line ("edges", "triangles", "circles",
// "svg"), or nothing for an unknown name.
std::optional<OutputFormat> outputFormatNamed(std::string_view name);

// One edge per line: "x1 y1 x2 y2".
void writeEdges(std::ostream& out, const TriangulationShapes& shapes);
// One bounded triangle per line, counterclockwise: "x1 y1 x2 y2 x3 y3".
void writeTriangles(std::ostream& out, const TriangulationShapes& shapes);
// One circumcircle per triangle: "cx cy r".
void writeCircles(std::ostream& out, const TriangulationShapes& shapes);
// An SVG picture in the program's colours, fitted to the sites.
void writeSvg(std::ostream& out, const TriangulationShapes& shapes);

void writeShapes(std::ostream& out, const TriangulationShapes& shapes, OutputFormat format);

} // namespace TessaroTools
