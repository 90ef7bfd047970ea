// The plain text formats: one shape per line, numbers as NumberText writes
// them.
#include "NumberText.h"
#include "OutputFormats.h"

namespace TessaroTools {

void writeEdges(std::ostream& out, const TriangulationShapes& shapes) {
    TextBlockWriter writer(out, shapes.precision);
    for (const Edge& edge : shapes.edges) {
        const Position& from = shapes.sites[edge.from];
        const Position& to = shapes.sites[edge.to];
        writer.pair(from.x, from.y).character(' ').pair(to.x, to.y).character('\n');
    }
}

void writeTriangles(std::ostream& out, const TriangulationShapes& shapes) {
    TextBlockWriter writer(out, shapes.precision);
    for (const Triangle& triangle : shapes.triangles) {
        for (std::size_t k = 0; k < 3; ++k) {
            const Position& corner = shapes.sites[triangle[k]];
            writer.pair(corner.x, corner.y).character(k < 2 ? ' ' : '\n');
        }
    }
}

void writeCircles(std::ostream& out, const TriangulationShapes& shapes) {
    TextBlockWriter writer(out, shapes.precision);
    for (const Circle& circle : shapes.circles) {
        writer.pair(circle.center.x, circle.center.y).character(' ');
        writer.coordinate(circle.radius).character('\n');
    }
}

// Adding 0.0 turns a corner's -0 into 0: the sign of a zero says nothing
// about a cell.
void writeVoronoi(std::ostream& out, const TriangulationShapes& shapes) {
    TextBlockWriter writer(out);
    for (const VoronoiCell& cell : shapes.cells) {
        writer.integer(cell.site);
        for (const std::array<double, 2>& corner : cell.corners) {
            writer.character(' ').number(corner[0] + 0.0).character(' ').number(corner[1] + 0.0);
        }
        writer.character('\n');
    }
}

} // namespace TessaroTools
