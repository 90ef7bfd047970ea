#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {

using TessaroTools::OutputFormat;
using TessaroTools::parseCommandLine;
using TessaroTools::Precision;
using TessaroTools::UsageError;

struct GoodCommandLine {
    std::vector<std::string> arguments;
    OutputFormat format;
    std::string input;
    std::string output;
    bool voronoi = false;
    Precision precision = Precision::Double;
    bool poly = false;
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
        {{"--voronoi", "in"}, OutputFormat::Voronoi, "in", "", true},
        {{"--voronoi", "--svg"}, OutputFormat::Svg, "", "", true},
        {{"--svg", "--voronoi", "--clip", "0", "0", "1", "1"}, OutputFormat::Svg, "", "", true},
        {{"--float", "in"}, OutputFormat::Edges, "in", "", false, Precision::Float},
        {{"a/shape.poly"}, OutputFormat::Edges, "a/shape.poly", "", false, Precision::Double, true},
        {{"--poly", "--float"}, OutputFormat::Edges, "", "", false, Precision::Float, true},
        {{"--poly", "-", "--svg"}, OutputFormat::Svg, "-", "", false, Precision::Double, true},
        {{"shape.poly.txt"}, OutputFormat::Edges, "shape.poly.txt", ""},
    };
    for (const GoodCommandLine& c : cases) {
        const TessaroTools::CommandLine line = parseCommandLine(c.arguments);
        EXPECT_EQ(line.format, c.format);
        EXPECT_EQ(line.inputPath, c.input);
        EXPECT_EQ(line.outputPath, c.output);
        EXPECT_EQ(line.voronoi, c.voronoi);
        EXPECT_EQ(line.precision, c.precision);
        EXPECT_EQ(line.poly, c.poly);
        EXPECT_FALSE(line.help || line.version);
    }
    const std::optional<EdgeAlgebra::Box> clip =
        parseCommandLine({"--clip", "-1.5", "-2", "3e2", "4", "--voronoi"}).clip;
    ASSERT_TRUE(clip);
    EXPECT_EQ(std::vector<double>({clip->xmin, clip->ymin, clip->xmax, clip->ymax}),
              std::vector<double>({-1.5, -2, 300, 4}));
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
        {{"--voronoi", "--edges"}, "--voronoi goes with --svg or alone"},
        {{"--clip", "0", "0", "1", "1"}, "--clip needs --voronoi"},
        {{"--voronoi", "--clip", "0", "0", "1"},
         "option --clip needs four numbers: XMIN YMIN XMAX YMAX"},
        {{"--voronoi", "--clip", "0", "0", "1", "1x"},
         "option --clip: '1x' is not a finite number"},
        {{"--voronoi", "--clip", "0", "", "1", "1"}, "option --clip: '' is not a finite number"},
        {{"--voronoi", "--clip", "0", "0", "inf", "1"},
         "option --clip: 'inf' is not a finite number"},
        {{"--voronoi", "--clip", "1e999", "0", "1", "1"},
         "option --clip: '1e999' is not a finite number"},
        {{"--voronoi", "--clip", "1", "0", "1", "1"},
         "option --clip: XMIN must be below XMAX and YMIN below YMAX"},
        {{"--voronoi", "--clip", "0", "2", "1", "1"},
         "option --clip: XMIN must be below XMAX and YMIN below YMAX"},
        {{"--grid"}, "option --grid needs a number"},
        {{"--grid", "-1"}, "option --grid: the step must be positive, got '-1'"},
        {{"--grid=nan"}, "option --grid: 'nan' is not a finite number"},
        {{"--grid", "1", "--svg"},
         "--grid writes an ESRI ASCII grid and goes with no other output format"},
        {{"--grid", "1", "--interpolate", "cubic"},
         "option --interpolate: 'cubic' is none of linear, natural, nearest"},
        {{"--interpolate", "natural"}, "--interpolate needs --grid"},
        {{"--bounds", "0,0,1,1"}, "--bounds needs --grid"},
        {{"--grid", "1", "--bounds", "0,0,1"},
         "option --bounds needs four numbers: XMIN,YMIN,XMAX,YMAX"},
        {{"--grid", "1", "--bounds", "0,0,1,1,2"},
         "option --bounds needs four numbers: XMIN,YMIN,XMAX,YMAX"},
        {{"--grid", "1", "--bounds", "0,1,1,1"},
         "option --bounds: XMIN must be below XMAX and YMIN below YMAX"},
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
