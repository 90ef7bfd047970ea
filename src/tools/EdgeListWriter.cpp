#include "NumberText.h"
#include "OutputFormats.h"

namespace TessaroTools {

void writeEdges(std::ostream& out, const TriangulationShapes& shapes) {
    TextBlockWriter writer(out);
    for (const DelaunayTest::Line& edge : shapes.edges) {
        writer.pair(edge.start.x, edge.start.y).character(' ');
        writer.pair(edge.end.x, edge.end.y).character('\n');
    }
}

} // namespace TessaroTools
