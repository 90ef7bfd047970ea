#include "AsciiGrid.h"

#include "NumberText.h"

#include <cmath>

namespace TessaroTools {

void writeAsciiGrid(std::ostream& out, const GridValues& grid) {
    TextBlockWriter writer(out);
    writer.text("ncols ").integer(grid.columns).text("\nnrows ").integer(grid.rows);
    writer.text("\nxllcenter ").number(grid.xCenter).text("\nyllcenter ").number(grid.yCenter);
    writer.text("\ncellsize ").number(grid.cellSize).text("\nNODATA_value ").number(kNoData);
    writer.character('\n');
    for (std::size_t row = grid.rows; row-- > 0;) {
        for (std::size_t column = 0; column < grid.columns; ++column) {
            const double value = grid.values[row * grid.columns + column];
            writer.number(std::isnan(value) ? kNoData : value);
            writer.character(column + 1 < grid.columns ? ' ' : '\n');
        }
    }
}

} // namespace TessaroTools
