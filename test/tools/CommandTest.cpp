// The real tessaro-triangulate executable, run as a user runs it.
#include "PolyReader.h"
#include "ToolProcess.h"
#include "ToolTestSupport.h"
#include "scene/Scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

namespace {

using DelaunayTest::Point;
using namespace ToolTest;
using Names = std::vector<std::string>;

// The sites as a user might write them: a header comment, blank lines,
// comments between sites, both separators and Windows line ends.
std::string siteFile(const std::vector<Point>& sites) {
    std::string text = "# sites for tessaro-triangulate\n\n";
    for (std::size_t i = 0; i < sites.size(); ++i) {
        char line[64];
        std::snprintf(line, sizeof line, i % 2 == 0 ? "%.9g %.9g\n" : "  %.9g ,%.9g\r\n",
                      static_cast<double>(sites[i].x), static_cast<double>(sites[i].y));
        text += line;
        text += i == 1 ? "\n# a comment between sites\n\n" : "";
    }
    return text;
}

class KnownSitesCommand : public ::testing::TestWithParam<SiteCase> {
protected:
    TemporaryDirectory dir;
};

TEST_P(KnownSitesCommand, WritesTheDelaunayEdgesAndTriangles) {
    const SiteCase& siteCase = GetParam();
    writeFile(dir.file("sites.txt"), siteFile(siteCase.sites));

    const ToolResult edges = runTool({"sites.txt"}, dir.path());
    ASSERT_EQ(edges.status, 0) << edges.err;
    EXPECT_EQ(edges.err, "");
    std::multiset<EdgeKey> edgeSet;
    for (const std::vector<float>& e : parseNumberLines(edges.out, 4)) {
        edgeSet.insert(edgeKey(Point(e[0], e[1]), Point(e[2], e[3])));
    }
    EXPECT_EQ(edgeSet, expectedEdges(siteCase));

    const ToolResult triangles = runTool({"--triangles", "sites.txt"}, dir.path());
    ASSERT_EQ(triangles.status, 0) << triangles.err;
    std::multiset<TriangleKey> triangleSet;
    for (const std::vector<float>& t : parseNumberLines(triangles.out, 6)) {
        const Point a(t[0], t[1]), b(t[2], t[3]), c(t[4], t[5]);
        EXPECT_GT(orientation(a, b, c), 0.0) << "not counterclockwise";
        triangleSet.insert(triangleKey(a, b, c));
    }
    EXPECT_EQ(triangleSet.size(), siteCase.triangleCount);
    EXPECT_EQ(triangleSet, bruteForceTriangles(siteCase.sites));

    const ToolResult circles = runTool({"--circles", "sites.txt"}, dir.path());
    ASSERT_EQ(circles.status, 0) << circles.err;
    EXPECT_EQ(parseNumberLines(circles.out, 3).size(), siteCase.triangleCount);
}

TEST_P(KnownSitesCommand, StandardInputAndOutputFileGiveTheSameText) {
    writeFile(dir.file("sites.txt"), siteFile(GetParam().sites));
    const ToolResult fromFile = runTool({"--triangles", "sites.txt"}, dir.path());
    const ToolResult fromStdin = runTool({"--triangles"}, dir.path(), dir.file("sites.txt"));
    const ToolResult fromDash = runTool({"--triangles", "-"}, dir.path(), dir.file("sites.txt"));
    const ToolResult toFile = runTool({"--triangles", "-o", "out.txt", "sites.txt"}, dir.path());
    EXPECT_EQ(fromStdin.status, 0);
    EXPECT_EQ(fromDash.status, 0);
    ASSERT_EQ(toFile.status, 0) << toFile.err;
    EXPECT_EQ(fromStdin.out, fromFile.out);
    EXPECT_EQ(fromDash.out, fromFile.out);
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(readFile(dir.file("out.txt")), fromFile.out);
    EXPECT_EQ(dir.entries(), (Names{"out.txt", "sites.txt"}));
}

// The core leaves out every site that coincides with an earlier one, so
// repeating sites changes nothing in the output.
TEST_P(KnownSitesCommand, DuplicateSitesAreTriangulatedOnce) {
    const std::vector<Point>& sites = GetParam().sites;
    std::vector<Point> repeated(sites.rbegin(), sites.rend());
    repeated.insert(repeated.end(), sites.begin(), sites.end());
    repeated.push_back(sites[1]);
    writeFile(dir.file("sites.txt"), siteFile(sites));
    writeFile(dir.file("repeated.txt"), siteFile(repeated));
    for (const char* format : {"--edges", "--triangles", "--circles", "--svg"}) {
        const ToolResult once = runTool({format, "sites.txt"}, dir.path());
        const ToolResult twice = runTool({format, "repeated.txt"}, dir.path());
        ASSERT_EQ(twice.status, 0) << twice.err;
        EXPECT_EQ(twice.out, once.out) << format;
    }
}

using Cell = std::vector<std::pair<double, double>>;

// The lines of --voronoi by site index: "i x1 y1 x2 y2 ...".
std::map<std::size_t, Cell> parseCells(const std::string& text) {
    std::map<std::size_t, Cell> cells;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::size_t site = 0;
        double x = 0.0, y = 0.0;
        fields >> site;
        Cell& cell = cells[site];
        while (fields >> x >> y) {
            cell.emplace_back(x, y);
        }
        EXPECT_TRUE(fields.eof() && cell.size() >= 3) << line;
    }
    return cells;
}

// Twice the signed area of a, b, c.
double turn(std::pair<double, double> a, std::pair<double, double> b, std::pair<double, double> c) {
    return (b.first - a.first) * (c.second - a.second) -
           (b.second - a.second) * (c.first - a.first);
}

// Every distinct site has the cell that holds it, a duplicate none, and the
// cells tile the sites' frame (their box with a 5% margin) or the --clip box.
TEST_P(KnownSitesCommand, VoronoiCellsTileTheFrameOrTheClipBox) {
    std::vector<Point> sites = GetParam().sites;
    sites.push_back(sites[1]);
    writeFile(dir.file("sites.txt"), siteFile(sites));
    double minX = sites[0].x, maxX = minX, minY = sites[0].y, maxY = minY;
    for (const Point& p : sites) {
        minX = std::min<double>(minX, p.x), maxX = std::max<double>(maxX, p.x);
        minY = std::min<double>(minY, p.y), maxY = std::max<double>(maxY, p.y);
    }
    const double margin = 0.05 * std::max(maxX - minX, maxY - minY);
    const double frameArea = (maxX - minX + 2 * margin) * (maxY - minY + 2 * margin);

    const ToolResult framed = runTool({"--voronoi", "sites.txt"}, dir.path());
    const ToolResult clipped =
        runTool({"--voronoi", "--clip", "0", "-1", "3", "1", "sites.txt"}, dir.path());
    ASSERT_EQ(framed.status, 0) << framed.err;
    ASSERT_EQ(clipped.status, 0) << clipped.err;
    const auto totalArea = [&sites](const ToolResult& result, bool holdsSites) {
        double total = 0.0;
        for (const auto& [site, cell] : parseCells(result.out)) {
            const std::pair<double, double> at(sites[site].x, sites[site].y);
            for (std::size_t k = 0; k < cell.size(); ++k) {
                const auto& next = cell[(k + 1) % cell.size()];
                total += 0.5 * turn({0, 0}, cell[k], next);
                EXPECT_TRUE(!holdsSites || turn(cell[k], next, at) >= -1e-9) << site;
            }
        }
        return total;
    };
    EXPECT_NEAR(totalArea(framed, true), frameArea, 1e-9 * frameArea);
    EXPECT_NEAR(totalArea(clipped, false), 6.0, 1e-9);
    EXPECT_EQ(parseCells(framed.out).size(), sites.size() - 1) << "none for the duplicate";
}

INSTANTIATE_TEST_SUITE_P(SiteCases, KnownSitesCommand, ::testing::ValuesIn(knownSiteCases()),
                         [](const auto& info) { return info.param.name; });

// With --float the sites are the program's, and so are the circles, bit for
// bit.
TEST(CommandAgainstScene, EdgesAndCirclesAreThoseThePlatformsSceneBuilds) {
    std::mt19937 engine(11);
    std::uniform_real_distribution<float> coordinate(-4.0f, 4.0f);
    std::vector<Point> sites;
    for (int i = 0; i < 30; ++i) {
        sites.emplace_back(coordinate(engine), coordinate(engine));
    }
    TemporaryDirectory dir;
    writeFile(dir.file("sites.txt"), siteFile(sites));
    DelaunayTest::Scene scene(sites, 1u);
    scene.triangulate();

    const ToolResult edges = runTool({"--float", "sites.txt"}, dir.path());
    ASSERT_EQ(edges.status, 0) << edges.err;
    std::multiset<EdgeKey> ours, theirs;
    for (const std::vector<float>& e : parseNumberLines(edges.out, 4)) {
        ours.insert({{e[0], e[1]}, {e[2], e[3]}});
    }
    for (const DelaunayTest::Line& line : scene.getLines()) {
        theirs.insert({{line.start.x, line.start.y}, {line.end.x, line.end.y}});
    }
    EXPECT_EQ(ours, theirs) << "the same directed segments, bit for bit";

    const ToolResult circles = runTool({"--float", "--circles", "sites.txt"}, dir.path());
    ASSERT_EQ(circles.status, 0) << circles.err;
    const auto ourCircles = parseNumberLines(circles.out, 3);
    EXPECT_EQ(3 * ourCircles.size(), scene.getCircles().size());
    for (const std::vector<float>& c : ourCircles) {
        std::size_t copies = 0;
        for (const DelaunayTest::Circle& s : scene.getCircles()) {
            copies += c[0] == s.center.x && c[1] == s.center.y && c[2] == s.radius;
        }
        EXPECT_GE(copies, 1u) << c[0] << " " << c[1] << " " << c[2];
    }
}

// Survey coordinates, a centimetre apart: every number comes back as the
// user wrote it. With --float the sites are rounded to a half-metre grid and
// merge.
TEST(SurveyCoordinates, ComeBackAsWrittenAndMergeWithFloat) {
    const std::set<std::string> written{"500000.12", "4500000.34", "500000.13", "4500000.41",
                                        "500000.2",  "4500000.35", "500000.15", "4500000.5"};
    TemporaryDirectory dir;
    writeFile(dir.file("survey.txt"), "500000.12 4500000.34\n500000.13 4500000.41\n"
                                      "500000.2 4500000.35\n500000.15,4500000.5\n");
    for (const char* format : {"--edges", "--triangles"}) {
        const ToolResult result = runTool({format, "survey.txt"}, dir.path());
        ASSERT_EQ(result.status, 0) << result.err;
        std::istringstream fields(result.out);
        std::set<std::string> numbers;
        for (std::string field; fields >> field;) {
            numbers.insert(field);
        }
        EXPECT_EQ(numbers, written) << result.out;
    }
    const ToolResult rounded = runTool({"--float", "survey.txt"}, dir.path());
    ASSERT_EQ(rounded.status, 0) << rounded.err;
    EXPECT_EQ(rounded.out, "500000.12 4500000.5 500000.16 4500000.5\n"
                           "500000.16 4500000.5 500000.2 4500000.5\n");
}

const char* const notTwoNumbers =
    ": expected two finite numbers separated by white space or a comma";

struct BadInput {
    const char* content;
    std::string message; // after "tessaro-triangulate: " and the file name
    std::vector<std::string> options = {};
    std::string file = "sites.txt";
};

TEST(BadInput, IsNamedByFileAndLineAndLeavesNoOutputFile) {
    const BadInput cases[] = {
        {"1 2\n3\n", std::string(":2") + notTwoNumbers},
        {"# c\n1 2\n\n3 4 5\n", std::string(":4") + notTwoNumbers},
        {"1 2\nabc def\n", std::string(":2") + notTwoNumbers},
        {"1 2\n1,,2\n", std::string(":2") + notTwoNumbers},
        {"nan 1\n1 2\n", std::string(":1") + notTwoNumbers},
        {"1 2\n3 -inf\n", std::string(":2") + notTwoNumbers},
        {"1 2\n3 4 # trailing comment\n", std::string(":2") + notTwoNumbers},
        {"1 2\n1e39 3\n", ":2: number out of float range", {"--float"}},
        {"1 2\n3,-1e300\n", ":2: number out of float range", {"--float"}},
        {"1 2\n3,-1e309\n", ":2: number out of double range"},
        {"", ": at least two sites are needed, found 0"},
        {"# nothing\n\n", ": at least two sites are needed, found 0"},
        {"\n5 5\n", ": at least two sites are needed, found 1"},
        {"7 7\n7,7\n7 7\n", ": at least two distinct sites are needed, all sites coincide"},
        // The core's refusal of crossing segments, in the file's numbers.
        {"4 2 0 0\n1 0 0\n2 4 0\n3 4 4\n4 0 4\n2 0\n# diagonals\n7 1 3\n9 2 4\n0\n",
         ":9: segments 7 and 9 cross (segment 7 is on line 8)",
         {},
         "shape.poly"},
        {"0 2 0 0\n",
         ":1: vertex count 0: vertices in a separate .node file are not read; list "
         "them in the .poly file",
         {},
         "shape.poly"},
    };
    for (const BadInput& c : cases) {
        SCOPED_TRACE(c.content);
        TemporaryDirectory dir;
        writeFile(dir.file(c.file), c.content);
        const std::string expected = "tessaro-triangulate: " + c.file + c.message + "\n";
        const auto run = [&](std::vector<std::string> arguments) {
            arguments.insert(arguments.begin(), c.options.begin(), c.options.end());
            arguments.push_back(c.file);
            return runTool(arguments, dir.path());
        };

        const ToolResult toStdout = run({});
        EXPECT_EQ(toStdout.status, 1);
        EXPECT_EQ(toStdout.err, expected);
        EXPECT_EQ(toStdout.out, "");

        const ToolResult toNewFile = run({"--svg", "-o", "new.svg"});
        EXPECT_EQ(toNewFile.status, 1);
        EXPECT_EQ(toNewFile.err, expected);

        writeFile(dir.file("old.txt"), "kept\n");
        const ToolResult toOldFile = run({"-o", "old.txt"});
        EXPECT_EQ(toOldFile.status, 1);
        EXPECT_EQ(readFile(dir.file("old.txt")), "kept\n");
        EXPECT_EQ(dir.entries(), (Names{"old.txt", c.file}));
    }
}

TEST(BadInput, OnStandardInputIsNamedSo) {
    TemporaryDirectory dir;
    writeFile(dir.file("sites.txt"), "1 2\n2 x\n");
    const ToolResult result = runTool({}, dir.path(), dir.file("sites.txt"));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, std::string("tessaro-triangulate: <stdin>:2") + notTwoNumbers + "\n");
}

TEST(BadInput, MissingFilesAndUnwritableOutputs) {
    TemporaryDirectory dir;
    writeFile(dir.file("sites.txt"), "1 2\n3 4\n");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"missing.txt"}, "cannot open missing.txt: No such file or directory"},
        {{"-o", "no-dir/out.txt", "sites.txt"},
         "cannot write no-dir/out.txt: No such file or directory"},
    };
    for (const auto& [arguments, message] : cases) {
        const ToolResult result = runTool(arguments, dir.path());
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "tessaro-triangulate: " + message + "\n");
    }
    EXPECT_EQ(dir.entries(), Names{"sites.txt"});
}

TEST(CommandLineErrors, ExitWithStatusTwoAndAHint) {
    TemporaryDirectory dir;
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--png"}, "unknown option --png"},
        {{"--svg", "--edges"}, "only one of --edges, --triangles, --circles, --svg may be given"},
        {{"-o"}, "option -o needs a file name"},
        {{"--voronoi", "--clip", "0", "0", "0", "1"},
         "option --clip: XMIN must be below XMAX and YMIN below YMAX"},
    };
    for (const auto& [arguments, message] : cases) {
        const ToolResult result = runTool(arguments, dir.path());
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err, "tessaro-triangulate: " + message +
                                  "\nTry 'tessaro-triangulate --help' for more information.\n");
        EXPECT_EQ(result.out, "");
    }
}

TEST(HelpAndVersion, GoToStandardOutput) {
    TemporaryDirectory dir;
    const ToolResult help = runTool({"--help"}, dir.path());
    EXPECT_EQ(help.status, 0);
    for (const char* option :
         {"--edges", "--triangles", "--circles", "--svg", "--voronoi", "--clip XMIN YMIN XMAX YMAX",
          "--float", "--poly", ".poly", "-o, --output", "--help", "--version", "'#'", "comma",
          "Exit status"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
    const ToolResult version = runTool({"--version"}, dir.path());
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("tessaro-triangulate ") + TESSARO_VERSION + "\n");
}

std::string xpathCount(const TemporaryDirectory& dir, const std::string& group) {
    const ToolResult count = runProgram(
        XMLLINT_PATH,
        {"--xpath", "count(//*[local-name()='g'][@id='" + group + "']/*)", "picture.svg"},
        dir.path());
    EXPECT_EQ(count.status, 0) << count.err;
    return count.out.substr(0, count.out.find_last_not_of(" \n") + 1);
}

TEST(Svg, IsWellFormedWithOneElementPerSiteEdgeCircleAndCell) {
    TemporaryDirectory dir;
    const SiteCase& threeOnHull = knownSiteCases()[2];
    writeFile(dir.file("sites.txt"), siteFile(threeOnHull.sites));
    const ToolResult result =
        runTool({"--svg", "--voronoi", "-o", "picture.svg", "sites.txt"}, dir.path());
    ASSERT_EQ(result.status, 0) << result.err;

    const ToolResult lint = runProgram(XMLLINT_PATH, {"--noout", "picture.svg"}, dir.path());
    EXPECT_EQ(lint.status, 0) << lint.err;
    EXPECT_EQ(lint.err, "");
    EXPECT_EQ(xpathCount(dir, "sites"), "5");
    EXPECT_EQ(xpathCount(dir, "voronoi"), "5");
    EXPECT_EQ(xpathCount(dir, "edges"), std::to_string(threeOnHull.edgeCount));
    EXPECT_EQ(xpathCount(dir, "circles"), std::to_string(threeOnHull.triangleCount));
}

// A square with a square hole, its vertices numbered from 1 with an
// attribute and markers: carved to the ring between the squares, area 12 in
// 8 triangles, with its 8 sides as segments. The same read from standard
// input with --poly, and with --float.
TEST(PolyFile, IsCarvedToTheRingBetweenItsSquares) {
    TemporaryDirectory dir;
    writeFile(dir.file("ring.poly"), "# ring\n8 2 1 1\n1 0 0 9 1\n2 4 0 9 1\n3 4 4 9 1\n"
                                     "4 0 4 9 1\n5 1 1 9 2\n6 3 1 9 2\n7 3 3 9 2\n8 1 3 9 2\n"
                                     "8 1\n1 1 2 1\n2 2 3 1\n3 3 4 1\n4 4 1 1\n"
                                     "5 5 6 2\n6 6 7 2\n7 7 8 2\n8 8 5 2\n1\n1 2.5 1.5\n");
    const ToolResult triangles = runTool({"--triangles", "ring.poly"}, dir.path());
    ASSERT_EQ(triangles.status, 0) << triangles.err;
    double area = 0.0;
    for (const std::vector<float>& t : parseNumberLines(triangles.out, 6)) {
        area += 0.5 * orientation(Point(t[0], t[1]), Point(t[2], t[3]), Point(t[4], t[5]));
    }
    EXPECT_EQ(area, 12.0);
    EXPECT_EQ(parseNumberLines(triangles.out, 6).size(), 8u);
    EXPECT_EQ(runTool({"--triangles", "--poly"}, dir.path(), dir.file("ring.poly")).out,
              triangles.out);
    EXPECT_EQ(runTool({"--triangles", "--float", "ring.poly"}, dir.path()).out, triangles.out);

    const ToolResult svg =
        runTool({"--svg", "--voronoi", "-o", "picture.svg", "ring.poly"}, dir.path());
    ASSERT_EQ(svg.status, 0) << svg.err;
    EXPECT_EQ(xpathCount(dir, "segments"), "8");
    EXPECT_EQ(xpathCount(dir, "edges"), "8");
    EXPECT_EQ(xpathCount(dir, "circles"), "8");
    EXPECT_EQ(xpathCount(dir, "voronoi"), "8") << "the vertices' cells";
}

// The .asc grid read back: its header, and per point the value of the test
// function f = 2 + 3x - y (linear and natural neighbour reproduce it), a
// site's value (nearest), or NODATA outside the hull and in the .poly's hole.
struct AsciiGrid {
    std::map<std::string, double> header;
    std::vector<std::vector<double>> rows; // from the north
};

AsciiGrid readAsciiGrid(const std::string& text) {
    AsciiGrid grid;
    std::istringstream in(text);
    for (const char* key :
         {"ncols", "nrows", "xllcenter", "yllcenter", "cellsize", "NODATA_value"}) {
        std::string name;
        in >> name >> grid.header[key];
        EXPECT_EQ(name, key);
    }
    for (int row = 0; row < grid.header["nrows"]; ++row) {
        grid.rows.emplace_back(static_cast<std::size_t>(grid.header["ncols"]));
        for (double& value : grid.rows.back()) {
            in >> value;
        }
    }
    EXPECT_TRUE(in) << "short grid";
    std::string rest;
    EXPECT_FALSE(in >> rest) << "more than the grid: " << rest;
    return grid;
}

TEST(Grid, AsciiGridsReadBackWithTheInterpolatedValues) {
    TemporaryDirectory dir;
    // The ring of the .poly test with each vertex's value as its attribute.
    writeFile(dir.file("ring.poly"), "8 2 1 0\n1 0 0 2\n2 4 0 14\n3 4 4 10\n4 0 4 -2\n"
                                     "5 1 1 4\n6 3 1 10\n7 3 3 8\n8 1 3 2\n8 0\n1 1 2\n"
                                     "2 2 3\n3 3 4\n4 4 1\n5 5 6\n6 6 7\n7 7 8\n8 8 5\n"
                                     "1\n1 2 2\n");
    const std::vector<Point> sites{{0, 0}, {4, 0}, {4, 4}, {0, 4}, {1, 3}, {3, 1}, {2, 2}};
    const auto f = [](double x, double y) { return 2 + 3 * x - y; };
    std::string samples;
    for (const Point& p : sites) {
        samples += std::to_string(p.x) + ", " + std::to_string(p.y) + " " +
                   std::to_string(f(p.x, p.y)) + "\n";
    }
    writeFile(dir.file("samples.xyz"), samples);
    const std::vector<std::string> cases[] = {
        {"samples.xyz", "--grid", "0.5"},
        {"samples.xyz", "--grid=0.5", "--interpolate", "natural", "--float"},
        {"samples.xyz", "--grid", "0.5", "--interpolate=nearest"},
        {"samples.xyz", "--grid", "0.75", "--bounds", "-1,-0.5,4.2,5", "--interpolate", "natural"},
        {"ring.poly", "--grid", "0.5", "--interpolate", "natural"},
        {"ring.poly", "--grid", "0.5"},
    };
    for (std::vector<std::string> arguments : cases) {
        SCOPED_TRACE(arguments[0] + " " + arguments.back());
        const bool nearest = arguments.back() == "--interpolate=nearest";
        const bool bounded = arguments.size() > 4 && arguments[3] == "--bounds";
        const bool ring = arguments[0] == "ring.poly";
        arguments.insert(arguments.end(), {"-o", "dem.asc"});
        const ToolResult result = runTool(arguments, dir.path());
        ASSERT_EQ(result.status, 0) << result.err;
        const AsciiGrid grid = readAsciiGrid(readFile(dir.file("dem.asc")));
        const double x0 = bounded ? -1 : 0, y0 = bounded ? -0.5 : 0, step = bounded ? 0.75 : 0.5;
        EXPECT_EQ(grid.header.at("xllcenter"), x0);
        EXPECT_EQ(grid.header.at("yllcenter"), y0);
        EXPECT_EQ(grid.header.at("cellsize"), step);
        EXPECT_EQ(grid.header.at("NODATA_value"), -9999);
        ASSERT_EQ(grid.rows.size(), bounded ? 8u : 9u);
        EXPECT_EQ(grid.rows[0].size(), bounded ? 7u : 9u);
        for (std::size_t r = 0; r < grid.rows.size(); ++r) {
            for (std::size_t c = 0; c < grid.rows[r].size(); ++c) {
                const double x = x0 + c * step, y = y0 + (grid.rows.size() - 1 - r) * step;
                const double value = grid.rows[r][c];
                if (x < 0 || x > 4 || y < 0 || y > 4 ||
                    (ring && x > 1 && x < 3 && y > 1 && y < 3)) {
                    EXPECT_EQ(value, -9999) << x << ' ' << y;
                } else if (nearest) { // the first of the nearest sites
                    const auto distance = [&](const Point& p) {
                        return (p.x - x) * (p.x - x) + (p.y - y) * (p.y - y);
                    };
                    const Point site = *std::min_element(
                        sites.begin(), sites.end(),
                        [&](const Point& a, const Point& b) { return distance(a) < distance(b); });
                    EXPECT_EQ(value, f(site.x, site.y)) << x << ' ' << y;
                } else {
                    EXPECT_NEAR(value, f(x, y), 1e-9) << x << ' ' << y;
                }
            }
        }
    }
    writeFile(dir.file("two.xyz"), "0 0 1\n1 1\n");
    const ToolResult bad = runTool({"--grid", "1", "two.xyz"}, dir.path());
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "tessaro-triangulate: two.xyz:2: expected three finite numbers (x y "
                       "value) separated by white space or commas\n");
    writeFile(dir.file("plain.poly"), "3 2 0 0\n0 0 0\n1 1 0\n2 0 1\n0 0\n0\n");
    EXPECT_EQ(runTool({"--grid", "1", "plain.poly"}, dir.path()).err,
              "tessaro-triangulate: plain.poly: --grid needs each vertex's value as its first "
              "attribute, but the vertices have no attributes\n");
}

// The ring refined: the .poly written with the mesh reads back as the
// tool's own input, the .ele's triangles over its vertices fill the ring and
// meet the bounds, and the mesh is all the output.
TEST(QualityMesh, FilesReadBackAndMeetTheBounds) {
    TemporaryDirectory dir;
    writeFile(dir.file("ring.poly"), "8 2 0 0\n0 0 0\n1 4 0\n2 4 4\n3 0 4\n4 1 1\n5 3 1\n6 3 3\n"
                                     "7 1 3\n8 0\n0 0 1\n1 1 2\n2 2 3\n3 3 0\n4 4 5\n5 5 6\n"
                                     "6 6 7\n7 7 4\n1\n0 2 2\n");
    const ToolResult run =
        runTool({"--min-angle", "30", "--max-area=0.1", "--mesh", "m.node", "--stats", "ring.poly"},
                dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("small angles forced by the input 0"), std::string::npos) << run.err;
    std::ifstream polyFile(dir.file("m.poly"));
    const TessaroTools::PolyFile poly =
        TessaroTools::readPoly(polyFile, "m.poly", TessaroTools::Precision::Double);
    const std::vector<double>& xy = poly.input.coords;
    EXPECT_EQ(xy.size() / 2, parseNumberLines(readFile(dir.file("m.node")), 4).size() - 1);
    EXPECT_GT(poly.input.segments.size(), 16u);
    EXPECT_EQ(poly.input.holes, (std::vector<double>{2, 2}));
    const std::string eleText = readFile(dir.file("m.ele"));
    const std::vector<std::vector<float>> ele =
        parseNumberLines(eleText.substr(eleText.find('\n') + 1), 4); // after the count line
    EXPECT_EQ(eleText.substr(0, eleText.find(' ')), std::to_string(ele.size()));
    double area = 0;
    for (std::size_t k = 0; k < ele.size(); ++k) {
        double x[3], y[3], sides[3];
        for (int c = 0; c < 3; ++c) {
            x[c] = xy[2 * (static_cast<std::size_t>(ele[k][c + 1]) - 1)];
            y[c] = xy[2 * (static_cast<std::size_t>(ele[k][c + 1]) - 1) + 1];
        }
        for (int c = 0; c < 3; ++c) {
            sides[c] = std::hypot(x[(c + 1) % 3] - x[c], y[(c + 1) % 3] - y[c]);
        }
        const double twice = (x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]);
        area += twice / 2;
        EXPECT_LE(twice / 2, 0.1);
        // The smallest angle, opposite the shortest side, by the law of sines.
        const double smallest = std::asin(twice / (sides[0] * sides[1] * sides[2]) *
                                          *std::min_element(sides, sides + 3));
        EXPECT_GE(smallest * 180 / M_PI, 30 - 1e-9);
    }
    EXPECT_NEAR(area, 12.0, 1e-12);
    // The picture shows the refined mesh, every vertex, without circles.
    ASSERT_EQ(
        runTool({"--min-angle=30", "--max-area", "0.1", "--svg", "-o", "picture.svg", "ring.poly"},
                dir.path())
            .status,
        0);
    EXPECT_EQ(xpathCount(dir, "sites"), std::to_string(xy.size() / 2));
    EXPECT_EQ(xpathCount(dir, "circles"), "0");
    std::filesystem::remove(dir.file("picture.svg"));
    for (const char* name : {"m.vtu", "m.msh"}) {
        EXPECT_EQ(runTool({"--min-angle", "30", "--mesh", name, "ring.poly"}, dir.path()).status,
                  0);
    }
    // Bad bounds are a wrong command line; an unwritable mesh leaves nothing.
    EXPECT_EQ(runTool({"--min-angle", "60", "ring.poly"}, dir.path()).status, 2);
    EXPECT_EQ(runTool({"--mesh", "m.txt", "ring.poly"}, dir.path()).status, 2);
    EXPECT_EQ(runTool({"--mesh", "none/m.vtu", "ring.poly"}, dir.path()).status, 1);
    EXPECT_EQ(dir.entries(), (Names{"m.ele", "m.msh", "m.node", "m.poly", "m.vtu", "ring.poly"}));
}

} // namespace
