#pragma once

#include <cstddef>
#include <ostream>
#include <vector>

namespace TessaroTools {

// Values on a regular grid of square cells: `columns` by `rows` points,
// `cellSize` apart, the first at (xCenter, yCenter), the south-west corner.
// `values` run row by row from the south, west to east; NaN marks a point
// without a value.
struct GridValues {
    std::size_t columns = 0, rows = 0;
    double xCenter = 0, yCenter = 0, cellSize = 1;
    std::vector<double> values;
};

// The marker of a cell without a value in the written grid.
constexpr double kNoData = -9999;

// An ESRI ASCII grid (.asc), as GIS programs and GDAL read it: the header
// (ncols, nrows, xllcenter, yllcenter, cellsize, NODATA_value), then one line
// per row from the north, each value as the shortest text that reads back as
// the same double, kNoData where there is none.
void writeAsciiGrid(std::ostream& out, const GridValues& grid);

} // namespace TessaroTools
