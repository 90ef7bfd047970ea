#pragma once

#include "OutputFormats.h"

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
    OutputFormat format = OutputFormat::Edges;
    // Empty, or "-": standard input.
    std::string inputPath;
    // Empty: standard output.
    std::string outputPath;
    bool help = false;
    bool version = false;
};

// Reads the arguments after the program name. Throws UsageError.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The text of --help.
std::string usageText();

} // namespace TessaroTools
