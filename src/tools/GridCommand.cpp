#include "GridCommand.h"

#include "AsciiGrid.h"
#include "PolyReader.h"
#include "SiteReader.h"

#include <edgealgebra/Interpolate.h>
#include <edgealgebra/KeepEnclosed.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace TessaroTools {

namespace {

// More points than this would not fit in memory on most machines: asking
// for them is taken for a mistaken step.
constexpr double kMostPoints = 1e9;

struct GriddedInput {
    PlanarInput sites;
    std::vector<double> values;
};

GriddedInput readGriddedInput(const CommandLine& command, std::istream& in,
                              const std::string& sourceName) {
    GriddedInput input;
    if (command.poly) {
        PolyFile poly = readPoly(in, sourceName, command.precision);
        if (poly.values.empty()) {
            throw InputError(sourceName + ": --grid needs each vertex's value as its first "
                                          "attribute, but the vertices have no attributes");
        }
        input.sites = std::move(poly.input);
        input.values = std::move(poly.values);
    } else {
        Samples samples = readSamples(in, sourceName, command.precision);
        input.sites.coords = std::move(samples.coords);
        input.values = std::move(samples.values);
    }
    requireDistinctSites(input.sites.coords, sourceName);
    return input;
}

// The grid over the bounds (or the sites' box): its points start at the
// south-west corner and stay within the box.
GridValues gridOver(const CommandLine& command, const std::vector<double>& coords) {
    EdgeAlgebra::Box box{coords[0], coords[1], coords[0], coords[1]};
    for (std::size_t i = 0; i < coords.size(); i += 2) {
        box = {std::min(box.xmin, coords[i]), std::min(box.ymin, coords[i + 1]),
               std::max(box.xmax, coords[i]), std::max(box.ymax, coords[i + 1])};
    }
    box = command.bounds ? *command.bounds : box;
    const double step = *command.gridStep;
    // A point that rounding puts a hair beyond the box still counts.
    const double columns = std::floor((box.xmax - box.xmin) / step * (1 + 0x1p-40)) + 1;
    const double rows = std::floor((box.ymax - box.ymin) / step * (1 + 0x1p-40)) + 1;
    if (!(columns * rows <= kMostPoints)) {
        char message[160];
        std::snprintf(message, sizeof message,
                      "--grid %g would make %.0f by %.0f points, more than 10^9: choose a "
                      "larger step or smaller --bounds",
                      step, columns, rows);
        throw InputError(message);
    }
    GridValues grid;
    grid.columns = static_cast<std::size_t>(columns);
    grid.rows = static_cast<std::size_t>(rows);
    grid.xCenter = box.xmin;
    grid.yCenter = box.ymin;
    grid.cellSize = step;
    return grid;
}

// The triangulation of the sites, with the segments carved to their domain
// as for the other outputs.
template <typename Coordinate>
EdgeAlgebra::Triangulation triangulateInput(const PlanarInput& input,
                                            const std::vector<Coordinate>& coords) {
    if (input.segments.empty()) {
        return EdgeAlgebra::triangulate(coords);
    }
    EdgeAlgebra::Triangulation t = EdgeAlgebra::triangulate(coords, input.segments);
    EdgeAlgebra::keepEnclosed(t, coords,
                              std::vector<Coordinate>(input.holes.begin(), input.holes.end()));
    return t;
}

template <typename Coordinate>
void interpolateOnto(const CommandLine& command, GriddedInput input, GridValues& grid) {
    const std::vector<Coordinate> coords(input.sites.coords.begin(), input.sites.coords.end());
    const EdgeAlgebra::Interpolator surface(triangulateInput(input.sites, coords), coords,
                                            std::move(input.values));
    grid.values.resize(grid.columns * grid.rows);
    surface.grid(
        {grid.xCenter, grid.yCenter, grid.cellSize, grid.cellSize, grid.columns, grid.rows},
        command.interpolation, grid.values.data());
}

} // namespace

void writeInterpolatedGrid(const CommandLine& command, std::istream& in,
                           const std::string& sourceName, std::ostream& out) {
    GriddedInput input = readGriddedInput(command, in, sourceName);
    GridValues grid = gridOver(command, input.sites.coords);
    if (command.precision == Precision::Float) {
        interpolateOnto<float>(command, std::move(input), grid);
    } else {
        interpolateOnto<double>(command, std::move(input), grid);
    }
    writeAsciiGrid(out, grid);
}

} // namespace TessaroTools
