#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {

using TessaroTools::OutputFormat;
using TessaroTools::parseCommandLine;
using TessaroTools::UsageError;

struct GoodCommandLine {
    std::vector<std::string> arguments;
    OutputFormat format;
    std::string input;
    std::string output;
};

TEST(CommandLine, ReadsFormatInputAndOutput) {
    const GoodCommandLine cases[] = {
        {{}, OutputFormat::Edges, "", ""},
        {{"sites.txt"}, OutputFormat::Edges, "sites.txt", ""},
        {{"-"}, OutputFormat::Edges, "-", ""},
        {{"--triangles", "in"}, OutputFormat::Triangles, "in", ""},
        {{"in", "--circles"}, OutputFormat::Circles, "in", ""},
        {{"--svg", "-o", "out.svg", "in"}, OutputFormat::Svg, "in", "out.svg"},
        {{"--output", "o", "--edges"}, OutputFormat::Edges, "", "o"},
        {{"--output=o.txt", "--edges", "--edges"}, OutputFormat::Edges, "", "o.txt"},
        {{"--", "--svg"}, OutputFormat::Edges, "--svg", ""},
    };
    for (const GoodCommandLine& c : cases) {
        const TessaroTools::CommandLine line = parseCommandLine(c.arguments);
        EXPECT_EQ(line.format, c.format);
        EXPECT_EQ(line.inputPath, c.input);
        EXPECT_EQ(line.outputPath, c.output);
        EXPECT_FALSE(line.help || line.version);
    }
    EXPECT_TRUE(parseCommandLine({"-h"}).help);
    EXPECT_TRUE(parseCommandLine({"--help"}).help);
    EXPECT_TRUE(parseCommandLine({"-V"}).version);
    EXPECT_TRUE(parseCommandLine({"--version"}).version);
}

TEST(CommandLine, RefusesWhatItCannotRun) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--png"}, "unknown option --png"},
        {{"-x"}, "unknown option -x"},
        {{"--edges", "--svg"}, "only one of --edges, --triangles, --circles, --svg may be given"},
        {{"a", "b"}, "only one input file may be given"},
        {{"-o"}, "option -o needs a file name"},
        {{"in", "--output"}, "option --output needs a file name"},
        {{"--output="}, "the output file name is empty"},
    };
    for (const auto& [arguments, message] : cases) {
        try {
            parseCommandLine(arguments);
            ADD_FAILURE() << "accepted: " << message;
        } catch (const UsageError& error) {
            EXPECT_STREQ(error.what(), message);
        }
    }
}

} // namespace
