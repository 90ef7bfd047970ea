#include "TriangulateCommand.h"

#include "AtomicOutputFile.h"
#include "CommandLine.h"
#include "OutputFormats.h"
#include "SiteReader.h"
#include "TriangulationShapes.h"

#include <algorithm>
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

std::vector<DelaunayTest::Point> readAllSites(const CommandLine& command,
                                              std::istream& standardInput) {
    if (readsStandardInput(command)) {
        return readSites(standardInput, "<stdin>");
    }
    std::ifstream file(command.inputPath, std::ios::binary);
    if (!file) {
        throw InputError("cannot open " + command.inputPath + ": " + std::strerror(errno));
    }
    return readSites(file, command.inputPath);
}

// The input's sites, at least two of them distinct.
std::vector<DelaunayTest::Point> readInput(const CommandLine& command,
                                           std::istream& standardInput) {
    std::vector<DelaunayTest::Point> sites = readAllSites(command, standardInput);
    const DelaunayTest::Point& first = sites.front();
    if (std::all_of(sites.begin(), sites.end(), [&first](const DelaunayTest::Point& p) {
            return p.x == first.x && p.y == first.y;
        })) {
        const std::string source = readsStandardInput(command) ? "<stdin>" : command.inputPath;
        throw InputError(source + ": at least two distinct sites are needed, all sites coincide");
    }
    return sites;
}

// The box the Voronoi cells are clipped to, when they are asked for: the one
// on the command line, or the picture's frame around the sites.
std::optional<EdgeAlgebra::Box> voronoiBox(const CommandLine& command,
                                           const std::vector<DelaunayTest::Point>& sites) {
    if (!command.voronoi) {
        return std::nullopt;
    }
    return command.clip ? *command.clip : frameSites(sites).box();
}

// Reads, triangulates and writes. An output file is opened first, so that an
// unusable -o path is reported before a long run, but it only takes the
// target's place when everything has been written.
void triangulateAndWrite(const CommandLine& command, std::istream& standardInput,
                         std::ostream& standardOutput) {
    std::optional<AtomicOutputFile> outputFile;
    if (!command.outputPath.empty()) {
        outputFile.emplace(command.outputPath);
    }
    const std::vector<DelaunayTest::Point> sites = readInput(command, standardInput);
    const TriangulationShapes shapes = triangulateSites(sites, voronoiBox(command, sites));
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
        triangulateAndWrite(command, standardInput, standardOutput);
    } catch (const std::exception& error) {
        standardError << programName << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}

} // namespace TessaroTools
