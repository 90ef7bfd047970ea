#pragma once

#include "OutputFormats.h"
#include "Precision.h"

#include <edgealgebra/Box.h>
#include <edgealgebra/Interpolate.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace TessaroTools {

// A command line that cannot be run; the message says what is wrong.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CommandLine {
    // --voronoi alone chooses the Voronoi format; with --svg it adds the
    // Voronoi layer to the picture.
    OutputFormat format = OutputFormat::Edges;
    // Whether a format option was given (not the default).
    bool formatGiven = false;
    bool voronoi = false;
    // --clip: the box for the Voronoi cells instead of the sites' frame.
    std::optional<EdgeAlgebra::Box> clip;
    // --float: sites rounded to float, the program's circles.
    Precision precision = Precision::Double;
    // --poly, or an input file whose name ends in ".poly": a .poly file
    // rather than a site file.
    bool poly = false;
    // Empty, or "-": standard input.
    std::string inputPath;
    // Empty: standard output.
    std::string outputPath;
    // --min-angle, --max-area: refine the triangulation to these bounds
    // (degrees; area). --mesh FILE: write the mesh in the format its
    // extension names. --stats: report the mesh's angles and areas on
    // standard error. Any of them refines; without bounds, to the
    // refinement's default angle.
    std::optional<double> minAngle;
    std::optional<double> maxArea;
    std::string meshPath;
    bool stats = false;
    bool help = false;
    bool version = false;
    // --grid STEP: the input's values interpolated onto a grid of points
    // STEP apart, written as an ESRI ASCII grid; the input holds x y value
    // lines (a .poly file: its vertices' first attribute).
    std::optional<double> gridStep;
    // --interpolate linear|natural|nearest, with --grid.
    EdgeAlgebra::Interpolation interpolation = EdgeAlgebra::Interpolation::Linear;
    // --bounds XMIN,YMIN,XMAX,YMAX: the grid's extent instead of the sites' box.
    std::optional<EdgeAlgebra::Box> bounds;
};

// Whether the command refines the triangulation into a quality mesh.
bool refines(const CommandLine& command);
// Whether the shapes go out (in `format`): with a format option or -o, or
// when no --mesh file takes the result.
bool writesShapes(const CommandLine& command);

// Reads the arguments after the program name. Throws UsageError.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The text of --help.
std::string usageText();

} // namespace TessaroTools
