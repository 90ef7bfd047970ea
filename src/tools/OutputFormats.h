#pragma once

#include "TriangulationShapes.h"

#include <optional>
#include <ostream>
#include <string_view>

namespace TessaroTools {

enum class OutputFormat { Edges, Triangles, Circles, Svg, Voronoi };

// The format named on the command line ("edges", "triangles", "circles",
// "svg"), or nothing for an unknown name. (--voronoi is read apart: alone it
// is a format, with --svg a layer of the picture.)
std::optional<OutputFormat> outputFormatNamed(std::string_view name);

// One edge per line: "x1 y1 x2 y2".
void writeEdges(std::ostream& out, const TriangulationShapes& shapes);
// One bounded triangle per line, counterclockwise: "x1 y1 x2 y2 x3 y3".
void writeTriangles(std::ostream& out, const TriangulationShapes& shapes);
// One circumcircle per triangle: "cx cy r".
void writeCircles(std::ostream& out, const TriangulationShapes& shapes);
// An SVG picture in the program's colours, fitted to the sites, with the
// Voronoi cells (if any) as a layer of its own under the edges, and the edges
// on segments (if any) drawn wider than the others.
void writeSvg(std::ostream& out, const TriangulationShapes& shapes);
// One Voronoi cell per line: "i x1 y1 x2 y2 ...", the site's input position
// and the cell's corners counterclockwise.
void writeVoronoi(std::ostream& out, const TriangulationShapes& shapes);

// The sites' bounding box and the margin around it: 5% of the box's longer
// side, or one unit when all sites coincide. The SVG picture shows the box
// with its margin, and the Voronoi cells are clipped to it by default.
struct SiteFrame {
    double minX, minY, maxX, maxY, margin;

    EdgeAlgebra::Box box() const {
        return {minX - margin, minY - margin, maxX + margin, maxY + margin};
    }
};
SiteFrame frameSites(const std::vector<Position>& sites);
// The same of sites given as x0, y0, x1, y1, ...
SiteFrame frameSites(const std::vector<double>& coords);

void writeShapes(std::ostream& out, const TriangulationShapes& shapes, OutputFormat format);

} // namespace TessaroTools
