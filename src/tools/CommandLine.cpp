#include "CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace TessaroTools {

namespace {

struct ParseState {
    CommandLine result;
    bool formatGiven = false;
    bool inputGiven = false;
    bool interpolationGiven = false;
};

void setFormat(ParseState& state, OutputFormat format) {
    if (state.formatGiven && state.result.format != format) {
        throw UsageError("only one of --edges, --triangles, --circles, --svg may be given");
    }
    state.result.format = format;
    state.formatGiven = true;
}

void setInput(ParseState& state, const std::string& path) {
    if (state.inputGiven) {
        throw UsageError("only one input file may be given");
    }
    state.result.inputPath = path;
    state.inputGiven = true;
}

// The value of an option written "--name VALUE" or "--name=VALUE".
std::string optionValue(const std::vector<std::string>& arguments, std::size_t& i,
                        const std::string& name, const char* what = "a file name") {
    const std::string& argument = arguments[i];
    if (argument.size() > name.size() && argument.compare(0, name.size() + 1, name + "=") == 0) {
        return argument.substr(name.size() + 1);
    }
    if (i + 1 >= arguments.size()) {
        throw UsageError("option " + name + " needs " + what);
    }
    return arguments[++i];
}

// The whole of `text` read as a number into `value`; false for anything else
// and for a number beyond double's range.
bool readNumber(const std::string& text, double& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && errno != ERANGE;
}

double finiteNumber(const std::string& text, const char* option) {
    double value = 0.0;
    if (!readNumber(text, value) || !std::isfinite(value)) {
        throw UsageError(std::string("option ") + option + ": '" + text +
                         "' is not a finite number");
    }
    return value;
}

double clipNumber(const std::string& text) {
    return finiteNumber(text, "--clip");
}

// The number after --min-angle or --max-area: 0 <= angle < 60, area >= 0.
double boundValue(const std::vector<std::string>& arguments, std::size_t& i,
                  const std::string& name, double below) {
    const std::string text = optionValue(arguments, i, name);
    double value = 0.0;
    if (!readNumber(text, value) || !(value >= 0.0 && value < below)) {
        throw UsageError("option " + name + ": '" + text + "' is not a number from 0 " +
                         (below < HUGE_VAL ? "up to (not including) 60" : "up"));
    }
    return value;
}

// The mesh file's format, from its extension.
void checkMeshPath(const std::string& path) {
    for (const char* extension : {".node", ".ele", ".vtu", ".msh"}) {
        const std::string e = extension;
        if (path.size() > e.size() && path.compare(path.size() - e.size(), e.size(), e) == 0) {
            return;
        }
    }
    throw UsageError("option --mesh: '" + path +
                     "' must end in .node or .ele (with .poly), .vtu or .msh");
}

// The four numbers after "--clip": XMIN YMIN XMAX YMAX.
EdgeAlgebra::Box clipBox(const std::vector<std::string>& arguments, std::size_t& i) {
    if (arguments.size() - i <= 4) {
        throw UsageError("option --clip needs four numbers: XMIN YMIN XMAX YMAX");
    }
    const EdgeAlgebra::Box box{clipNumber(arguments[i + 1]), clipNumber(arguments[i + 2]),
                               clipNumber(arguments[i + 3]), clipNumber(arguments[i + 4])};
    i += 4;
    if (!EdgeAlgebra::isFiniteRectangle(box)) {
        throw UsageError("option --clip: XMIN must be below XMAX and YMIN below YMAX");
    }
    return box;
}

// --voronoi alone is a format of its own; with --svg it is a layer of the
// picture. --clip only shapes the cells.
void settleVoronoi(ParseState& state) {
    CommandLine& result = state.result;
    if (result.voronoi && state.formatGiven && result.format != OutputFormat::Svg) {
        throw UsageError("--voronoi goes with --svg or alone");
    }
    if (result.voronoi && !state.formatGiven) {
        result.format = OutputFormat::Voronoi;
    }
    if (result.clip && !result.voronoi) {
        throw UsageError("--clip needs --voronoi");
    }
    if (result.voronoi && refines(result)) {
        throw UsageError("--voronoi shows the sites' cells, not those of a refined mesh");
    }
}

// The grid options: --interpolate and --bounds only with --grid, and --grid
// with no other output.
void settleGrid(const ParseState& state) {
    const CommandLine& result = state.result;
    if (!result.gridStep) {
        if (state.interpolationGiven || result.bounds) {
            throw UsageError(std::string(state.interpolationGiven ? "--interpolate" : "--bounds") +
                             " needs --grid");
        }
        return;
    }
    if (state.formatGiven || result.voronoi) {
        throw UsageError("--grid writes an ESRI ASCII grid and goes with no other output format");
    }
}

double gridStep(const std::string& text) {
    const double step = finiteNumber(text, "--grid");
    if (!(step > 0)) {
        throw UsageError("option --grid: the step must be positive, got '" + text + "'");
    }
    return step;
}

EdgeAlgebra::Interpolation interpolationMethod(const std::string& name) {
    if (const auto method = EdgeAlgebra::interpolationNamed(name)) {
        return *method;
    }
    throw UsageError("option --interpolate: '" + name + "' is none of linear, natural, nearest");
}

// "XMIN,YMIN,XMAX,YMAX".
EdgeAlgebra::Box boundsBox(const std::string& text) {
    double numbers[4];
    std::size_t start = 0;
    for (int k = 0; k < 4; ++k) {
        const std::size_t comma = k < 3 ? text.find(',', start) : text.size();
        if (comma == std::string::npos || (k == 3 && text.find(',', start) != std::string::npos)) {
            throw UsageError("option --bounds needs four numbers: XMIN,YMIN,XMAX,YMAX");
        }
        numbers[k] = finiteNumber(text.substr(start, comma - start), "--bounds");
        start = comma + 1;
    }
    const EdgeAlgebra::Box box{numbers[0], numbers[1], numbers[2], numbers[3]};
    if (!EdgeAlgebra::isFiniteRectangle(box)) {
        throw UsageError("option --bounds: XMIN must be below XMAX and YMIN below YMAX");
    }
    return box;
}

bool isOption(const std::string& argument, const std::string& name) {
    return argument == name || argument.compare(0, name.size() + 1, name + "=") == 0;
}

} // namespace

bool refines(const CommandLine& command) {
    return command.minAngle || command.maxArea || !command.meshPath.empty() || command.stats;
}

bool writesShapes(const CommandLine& command) {
    return command.meshPath.empty() || command.formatGiven || !command.outputPath.empty();
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    ParseState state;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument == "-" || argument.empty() || argument[0] != '-') {
            setInput(state, argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-h" || argument == "--help") {
            state.result.help = true;
        } else if (argument == "-V" || argument == "--version") {
            state.result.version = true;
        } else if (argument == "-o" || isOption(argument, "--output")) {
            state.result.outputPath =
                optionValue(arguments, i, argument == "-o" ? "-o" : "--output");
            if (state.result.outputPath.empty()) {
                throw UsageError("the output file name is empty");
            }
        } else if (argument == "--float") {
            state.result.precision = Precision::Float;
        } else if (argument == "--poly") {
            state.result.poly = true;
        } else if (argument == "--voronoi") {
            state.result.voronoi = true;
        } else if (isOption(argument, "--min-angle")) {
            state.result.minAngle = boundValue(arguments, i, "--min-angle", 60.0);
        } else if (isOption(argument, "--max-area")) {
            state.result.maxArea = boundValue(arguments, i, "--max-area", HUGE_VAL);
        } else if (isOption(argument, "--mesh")) {
            state.result.meshPath = optionValue(arguments, i, "--mesh");
            checkMeshPath(state.result.meshPath);
        } else if (argument == "--stats") {
            state.result.stats = true;
        } else if (argument == "--clip") {
            state.result.clip = clipBox(arguments, i);
        } else if (isOption(argument, "--grid")) {
            state.result.gridStep = gridStep(optionValue(arguments, i, "--grid", "a number"));
        } else if (isOption(argument, "--interpolate")) {
            state.result.interpolation =
                interpolationMethod(optionValue(arguments, i, "--interpolate", "a method"));
            state.interpolationGiven = true;
        } else if (isOption(argument, "--bounds")) {
            state.result.bounds = boundsBox(optionValue(arguments, i, "--bounds", "four numbers"));
        } else if (argument.size() > 2 && argument[1] == '-' &&
                   outputFormatNamed(std::string_view(argument).substr(2))) {
            setFormat(state, *outputFormatNamed(std::string_view(argument).substr(2)));
        } else {
            throw UsageError("unknown option " + argument);
        }
    }
    settleVoronoi(state);
    settleGrid(state);
    state.result.formatGiven = state.formatGiven;
    const std::string& input = state.result.inputPath;
    if (input.size() >= 5 && input.compare(input.size() - 5, 5, ".poly") == 0) {
        state.result.poly = true;
    }
    return state.result;
}

std::string usageText() {
    return "Usage: tessaro-triangulate [OPTION]... [FILE]\n"
           "Computes the Delaunay triangulation of the sites in FILE, or of standard input\n"
           "when FILE is absent or \"-\", with tessaro's triangulation core.\n"
           "\n"
           "Input: one site per line, two numbers separated by white space or a comma,\n"
           "for example \"1.5 -2\" or \"1.5, -2\". Blank lines and lines starting with '#'\n"
           "are ignored. Every number must be finite and within double range (float range\n"
           "with --float). Duplicate sites are accepted and triangulated once; at least two\n"
           "distinct sites are needed.\n"
           "\n"
           "A FILE whose name ends in .poly, or any input with --poly, is a .poly file:\n"
           "vertices, segments that must stay edges, and hole points. '#' starts a\n"
           "comment; blank lines are skipped. Its sections: a line with the vertex count,\n"
           "the dimension 2, the attribute count and a boundary-marker flag (0 or 1), then\n"
           "per vertex its number, x, y, attributes and (with the flag) a marker; a line\n"
           "with the segment count and a marker flag, then per segment its number, two\n"
           "vertex numbers and (with the flag) a marker; a line with the hole count, then\n"
           "per hole its number, x and y; an optional region section, read and ignored.\n"
           "Vertices are numbered from 0 or from 1, as the first one is. The result is the\n"
           "constrained Delaunay triangulation, kept to the triangles the segments enclose,\n"
           "less those reachable from a hole point without crossing a segment (without\n"
           "segments: the plain triangulation of the vertices).\n"
           "\n"
           "Output, one of:\n"
           "  --edges          one edge per line: x1 y1 x2 y2 (the default)\n"
           "  --triangles      one triangle per line, counterclockwise: x1 y1 x2 y2 x3 y3\n"
           "  --circles        the circumcircle of each triangle, one per line: cx cy r\n"
           "  --svg            an SVG picture fitted to the sites: green sites, red edges\n"
           "                   (three times as wide on segments), blue circumcircles on a\n"
           "                   grey-blue background\n"
           "  --voronoi        the Voronoi cell of each site, one per line: the site's\n"
           "                   index (from 0, counting site lines only, or the vertex's\n"
           "                   position in a .poly file), then the cell's corners\n"
           "                   counterclockwise: i x1 y1 x2 y2 ...; a duplicate site has\n"
           "                   no cell and no line. With --svg: the cells as a yellow\n"
           "                   layer under the edges. For a .poly file these are the\n"
           "                   cells of its vertices: segments and holes play no part\n"
           "Coordinates are written exactly as read: as the shortest text that reads back\n"
           "as the same double (with --float: as the same float). Without --float each\n"
           "circle is computed in double precision from its triangle's first corner as\n"
           "written: the centre is that corner plus the offset to where the\n"
           "perpendicular bisectors of its two sides from that corner meet, the radius\n"
           "the length of that offset, both written as the shortest double text. The\n"
           "cells' corners are doubles, written the same way.\n"
           "\n"
           "Gridding:\n"
           "  --grid STEP        interpolate values onto a grid of points STEP apart and\n"
           "                     write it as an ESRI ASCII grid (.asc, read by GIS\n"
           "                     programs and GDAL; cells without a value hold\n"
           "                     NODATA_value -9999). The input then holds three numbers\n"
           "                     a line, x y value; a .poly file gives each vertex's\n"
           "                     value as its first attribute and is gridded only inside\n"
           "                     its carved domain\n"
           "  --interpolate METHOD\n"
           "                     linear (the default), natural (Sibson's natural\n"
           "                     neighbours) or nearest\n"
           "  --bounds XMIN,YMIN,XMAX,YMAX\n"
           "                     the grid's extent (default: the sites' bounding box);\n"
           "                     its points start at XMIN, YMIN and stay within it\n"
           "Quality meshes (Delaunay refinement; new points are added, the input's stay):\n"
           "  --min-angle DEG    no angle under DEG degrees (0 up to 60; 20.7 always\n"
           "                     succeeds, up to about 33 in practice), except where two\n"
           "                     segments meet at a smaller angle\n"
           "  --max-area A       no triangle larger than A\n"
           "  --mesh FILE        write the mesh in the format FILE's name ends in: .node\n"
           "                     or .ele (writes FILE.node, FILE.ele and FILE.poly with\n"
           "                     the segments' pieces, numbered from 1), .vtu (VTK XML,\n"
           "                     for ParaView) or .msh (Gmsh 2.2 ASCII, with the pieces as\n"
           "                     lines tagged by their segment's number from 1); the\n"
           "                     edge list then goes out only with an output option\n"
           "  --stats            print the mesh's triangle count and its smallest and\n"
           "                     largest angle and area on standard error\n"
           "Any of these refines, without bounds to 20 degrees. The other outputs\n"
           "(--svg, ...) then show the refined mesh, with coordinates as doubles.\n"
           "\n"
           "Options:\n"
           "  --float            round every site to the nearest float, as the program's\n"
           "                     sites are, and write the program's circles, computed in\n"
           "                     single precision, bit for bit; numbers as floats\n"
           "  --poly             read a .poly file whatever the input's name\n"
           "  --clip XMIN YMIN XMAX YMAX\n"
           "                     clip the Voronoi cells to this box (sites whose cells\n"
           "                     miss it get no line) instead of the sites' bounding\n"
           "                     box with a margin of 5% of its longer side, the\n"
           "                     picture's frame\n"
           "  -o, --output FILE  write to FILE instead of standard output; FILE is\n"
           "                     replaced only when the whole run succeeds\n"
           "  -h, --help         show this help and exit\n"
           "  -V, --version      show the version and exit\n"
           "\n"
           "Exit status: 0 on success, 1 for unusable input or a failed read or write\n"
           "(the message names the file and line), 2 for a wrong command line.\n";
}

} // namespace TessaroTools
