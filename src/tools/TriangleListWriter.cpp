#include "NumberText.h"
#include "OutputFormats.h"

namespace TessaroTools {

void writeTriangles(std::ostream& out, const TriangulationShapes& shapes) {
    TextBlockWriter writer(out);
    for (const Triangle& triangle : shapes.triangles) {
        writer.pair(triangle.a.x, triangle.a.y).character(' ');
        writer.pair(triangle.b.x, triangle.b.y).character(' ');
        writer.pair(triangle.c.x, triangle.c.y).character('\n');
    }
}

} // namespace TessaroTools
