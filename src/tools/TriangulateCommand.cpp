#include "TriangulateCommand.h"

#include "AtomicOutputFile.h"
#include "CommandLine.h"
#include "GridCommand.h"
#include "MeshWriters.h"
#include "OutputFormats.h"
#include "PolyReader.h"
#include "SiteReader.h"
#include "TriangulationShapes.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>

#ifndef TESSARO_VERSION
#define TESSARO_VERSION "unknown"
#endif

namespace TessaroTools {

namespace {

const char* const programName = "tessaro-triangulate";

bool readsStandardInput(const CommandLine& command) {
    return command.inputPath.empty() || command.inputPath == "-";
}

std::string sourceName(const CommandLine& command) {
    return readsStandardInput(command) ? "<stdin>" : command.inputPath;
}

// The input as a .poly file, or as a site file (without segments).
PolyFile readFrom(std::istream& in, const CommandLine& command) {
    if (command.poly) {
        return readPoly(in, sourceName(command), command.precision);
    }
    PolyFile sites;
    sites.input.coords = readSites(in, sourceName(command), command.precision);
    return sites;
}

// Calls read(stream) on the input file, or on standard input.
template <typename Read>
auto withInput(const CommandLine& command, std::istream& standardInput, Read&& read) {
    if (readsStandardInput(command)) {
        return read(standardInput);
    }
    std::ifstream file(command.inputPath, std::ios::binary);
    if (!file) {
        throw InputError("cannot open " + command.inputPath + ": " + std::strerror(errno));
    }
    return read(file);
}

// The input's sites, at least two of them distinct, and its segments.
PolyFile readInput(const CommandLine& command, std::istream& standardInput) {
    PolyFile input =
        withInput(command, standardInput, [&](std::istream& in) { return readFrom(in, command); });
    requireDistinctSites(input.input.coords, sourceName(command));
    return input;
}

// Writes to the -o file, which takes the target's place only when everything
// was written, or to standard output.
template <typename Write>
void writeOutput(const CommandLine& command, std::ostream& standardOutput, Write&& write) {
    if (!command.outputPath.empty()) {
        AtomicOutputFile outputFile(command.outputPath);
        write(outputFile.stream());
        outputFile.commit();
        return;
    }
    write(standardOutput);
    if (!standardOutput.flush()) {
        throw std::runtime_error("cannot write standard output");
    }
}

// The box the Voronoi cells are clipped to, when they are asked for: the one
// on the command line, or the picture's frame around the sites.
std::optional<EdgeAlgebra::Box> voronoiBox(const CommandLine& command,
                                           const std::vector<double>& coords) {
    if (!command.voronoi) {
        return std::nullopt;
    }
    return command.clip ? *command.clip : frameSites(coords).box();
}

// The shapes of the input's triangulation. The core refuses crossing
// segments by their positions in its list; the message names them as the
// .poly file does, with their lines.
TriangulationShapes triangulateInput(const CommandLine& command, const PolyFile& input) {
    try {
        return triangulateSites(input.input, command.precision,
                                voronoiBox(command, input.input.coords));
    } catch (const std::invalid_argument& error) {
        if (input.input.segments.empty()) {
            throw;
        }
        throw InputError(describeSegmentError(input, sourceName(command), error));
    }
}

// The input refined to the command's bounds. Segment errors are named as
// triangulateInput names them.
EdgeAlgebra::Mesh refineInput(const CommandLine& command, const PolyFile& input) {
    EdgeAlgebra::Quality quality;
    quality.minAngle = command.minAngle.value_or(quality.minAngle);
    quality.maxArea = command.maxArea.value_or(quality.maxArea);
    const PlanarInput& sites = input.input;
    try {
        return EdgeAlgebra::refine(sites.coords, sites.segments, sites.holes, quality);
    } catch (const std::invalid_argument& error) {
        if (sites.segments.empty()) {
            throw;
        }
        throw InputError(describeSegmentError(input, sourceName(command), error));
    }
}

// Reads, triangulates (or refines) and writes. Output files are opened
// first, so that an unusable path is reported before a long run, but each
// only takes its target's place when everything has been written.
void triangulateAndWrite(const CommandLine& command, std::istream& standardInput,
                         std::ostream& standardOutput, std::ostream& standardError) {
    if (command.gridStep) {
        // The output file is opened before the long work, as below.
        writeOutput(command, standardOutput, [&](std::ostream& out) {
            withInput(command, standardInput, [&](std::istream& in) {
                writeInterpolatedGrid(command, in, sourceName(command), out);
                return 0;
            });
        });
        return;
    }
    std::optional<AtomicOutputFile> outputFile;
    if (!command.outputPath.empty()) {
        outputFile.emplace(command.outputPath);
    }
    std::optional<MeshOutput> meshOutput;
    if (!command.meshPath.empty()) {
        meshOutput.emplace(command.meshPath);
    }
    const PolyFile input = readInput(command, standardInput);
    TriangulationShapes shapes;
    if (refines(command)) {
        const EdgeAlgebra::Mesh mesh = refineInput(command, input);
        if (meshOutput) {
            meshOutput->write(mesh, input.input.holes);
        }
        if (command.stats) {
            writeMeshStats(standardError, mesh, input.input.coords.size() / 2);
        }
        if (!writesShapes(command)) {
            return;
        }
        shapes = meshShapes(mesh);
    } else {
        shapes = triangulateInput(command, input);
    }
    if (outputFile) {
        writeShapes(outputFile->stream(), shapes, command.format);
        outputFile->commit();
        return;
    }
    writeShapes(standardOutput, shapes, command.format);
    if (!standardOutput.flush()) {
        throw std::runtime_error("cannot write standard output");
    }
}

int printAndReturn(std::ostream& stream, const std::string& text, int status) {
    stream << text << std::flush;
    return stream ? status : 1;
}

} // namespace

int runTriangulateCommand(const std::vector<std::string>& arguments, std::istream& standardInput,
                          std::ostream& standardOutput, std::ostream& standardError) {
    CommandLine command;
    try {
        command = parseCommandLine(arguments);
    } catch (const UsageError& error) {
        standardError << programName << ": " << error.what() << "\nTry '" << programName
                      << " --help' for more information.\n";
        return 2;
    }
    if (command.help) {
        return printAndReturn(standardOutput, usageText(), 0);
    }
    if (command.version) {
        return printAndReturn(standardOutput,
                              std::string(programName) + " " + TESSARO_VERSION + "\n", 0);
    }
    try {
        triangulateAndWrite(command, standardInput, standardOutput, standardError);
    } catch (const std::exception& error) {
        standardError << programName << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}

} // namespace TessaroTools
