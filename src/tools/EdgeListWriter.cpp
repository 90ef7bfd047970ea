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

} // namespace TessaroTools
