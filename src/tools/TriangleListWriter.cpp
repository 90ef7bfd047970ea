#include "NumberText.h"
#include "OutputFormats.h"

namespace TessaroTools {

void writeTriangles(std::ostream& out, const TriangulationShapes& shapes) {
    TextBlockWriter writer(out, shapes.precision);
    for (const Triangle& triangle : shapes.triangles) {
        for (std::size_t k = 0; k < 3; ++k) {
            const Position& corner = shapes.sites[triangle[k]];
            writer.pair(corner.x, corner.y).character(k < 2 ? ' ' : '\n');
        }
    }
}

} // namespace TessaroTools
