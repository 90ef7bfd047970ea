#include "NumberText.h"
#include "OutputFormats.h"

namespace TessaroTools {

void writeCircles(std::ostream& out, const TriangulationShapes& shapes) {
    TextBlockWriter writer(out, shapes.precision);
    for (const Circle& circle : shapes.circles) {
        writer.pair(circle.center.x, circle.center.y).character(' ');
        writer.coordinate(circle.radius).character('\n');
    }
}

} // namespace TessaroTools
