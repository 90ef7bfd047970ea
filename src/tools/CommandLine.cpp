#include "CommandLine.h"

namespace TessaroTools {

namespace {

struct ParseState {
    CommandLine result;
    bool formatGiven = false;
    bool inputGiven = false;
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
                        const std::string& name) {
    const std::string& argument = arguments[i];
    if (argument.size() > name.size() && argument.compare(0, name.size() + 1, name + "=") == 0) {
        return argument.substr(name.size() + 1);
    }
    if (i + 1 >= arguments.size()) {
        throw UsageError("option " + name + " needs a file name");
    }
    return arguments[++i];
}

bool isOption(const std::string& argument, const std::string& name) {
    return argument == name || argument.compare(0, name.size() + 1, name + "=") == 0;
}

} // namespace

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
        } else if (argument.size() > 2 && argument[1] == '-' &&
                   outputFormatNamed(std::string_view(argument).substr(2))) {
            setFormat(state, *outputFormatNamed(std::string_view(argument).substr(2)));
        } else {
            throw UsageError("unknown option " + argument);
        }
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
           "are ignored. Every number must be finite and within float range. Duplicate\n"
           "sites are accepted and triangulated once; at least two distinct sites are needed.\n"
           "\n"
           "Output, one of:\n"
           "  --edges          one edge per line: x1 y1 x2 y2 (the default)\n"
           "  --triangles      one triangle per line, counterclockwise: x1 y1 x2 y2 x3 y3\n"
           "  --circles        the circumcircle of each triangle, one per line: cx cy r\n"
           "  --svg            an SVG picture fitted to the sites: green sites, red edges,\n"
           "                   blue circumcircles on a grey-blue background\n"
           "Numbers are written as the shortest text that reads back as the same float.\n"
           "\n"
           "Options:\n"
           "  -o, --output FILE  write to FILE instead of standard output; FILE is\n"
           "                     replaced only when the whole run succeeds\n"
           "  -h, --help         show this help and exit\n"
           "  -V, --version      show the version and exit\n"
           "\n"
           "Exit status: 0 on success, 1 for unusable input or a failed read or write\n"
           "(the message names the file and line), 2 for a wrong command line.\n";
}

} // namespace TessaroTools
