#include "NumberText.h"
#include "OutputFormats.h"

namespace TessaroTools {

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
