#include "OutputFormats.h"

namespace TessaroTools {

std::optional<OutputFormat> outputFormatNamed(std::string_view name) {
    if (name == "edges") {
        return OutputFormat::Edges;
    }
    if (name == "triangles") {
        return OutputFormat::Triangles;
    }
    if (name == "circles") {
        return OutputFormat::Circles;
    }
    if (name == "svg") {
        return OutputFormat::Svg;
    }
    return std::nullopt;
}

void writeShapes(std::ostream& out, const TriangulationShapes& shapes, OutputFormat format) {
    switch (format) {
    case OutputFormat::Edges:
        writeEdges(out, shapes);
        break;
    case OutputFormat::Triangles:
        writeTriangles(out, shapes);
        break;
    case OutputFormat::Circles:
        writeCircles(out, shapes);
        break;
    case OutputFormat::Svg:
        writeSvg(out, shapes);
        break;
    case OutputFormat::Voronoi:
        writeVoronoi(out, shapes);
        break;
    }
}

} // namespace TessaroTools
