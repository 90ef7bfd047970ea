#include "NumberText.h"
#include "OutputFormats.h"

namespace TessaroTools {

void writeCircles(std::ostream& out, const TriangulationShapes& shapes) {
    TextBlockWriter writer(out);
    for (const DelaunayTest::Circle& circle : shapes.circles) {
        writer.pair(circle.center.x, circle.center.y).character(' ');
        writer.number(circle.radius).character('\n');
    }
}

} // namespace TessaroTools
