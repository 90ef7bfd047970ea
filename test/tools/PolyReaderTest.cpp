#include "PolyReader.h"
#include "SiteReader.h"

#include <edgealgebra/CrossingSegments.h>

#include <gtest/gtest.h>

#include <sstream>

namespace {

using TessaroTools::InputError;
using TessaroTools::PolyFile;
using TessaroTools::Precision;
using TessaroTools::readPoly;

PolyFile read(const std::string& content, Precision precision = Precision::Double) {
    std::istringstream in(content);
    return readPoly(in, "shape.poly", precision);
}

struct GoodPoly {
    const char* content;
    std::vector<double> coords;
    std::vector<std::uint32_t> segments;
    std::vector<double> holes;
};

TEST(ReadPoly, ReadsVerticesSegmentsAndHoles) {
    const GoodPoly cases[] = {
        // From 0, comments, blank lines and Windows line ends; no holes.
        {"\xEF\xBB\xBF# a triangle\n3 2 0 0 # header\n\n0 0 0\r\n1 4 0\n2 0 3\n"
         "2 0\n0 0 1\n1 2 1\n0\n",
         {0, 0, 4, 0, 0, 3},
         {0, 1, 2, 1},
         {}},
        // From 1, attributes and markers, a hole and a region section.
        {"3 2 2 1\n1 0.5 -1 7 8 1\n2 500000.12 4500000.34 0 0 1\n3 2 2 1e3 -2 0\n"
         "1 1\n5 3 1 -1\n1\n1 1.25 0.5\n1\n1 1 1 2 0.5\n",
         {0.5, -1, 500000.12, 4500000.34, 2, 2},
         {2, 0},
         {1.25, 0.5}},
        // No segments, and a region line without the area.
        {"2 2 0 0\n0 1 1\n1 2 2\n0 0\n0\n1\n0 1 1 5\n", {1, 1, 2, 2}, {}, {}},
    };
    for (const GoodPoly& c : cases) {
        const PolyFile poly = read(c.content);
        EXPECT_EQ(poly.input.coords, c.coords) << c.content;
        EXPECT_EQ(poly.input.segments, c.segments) << c.content;
        EXPECT_EQ(poly.input.holes, c.holes) << c.content;
        EXPECT_EQ(poly.segmentSources.size(), c.segments.size() / 2);
    }
    EXPECT_EQ(read(cases[1].content).segmentSources[0].number, 5);
    EXPECT_EQ(read(cases[1].content).segmentSources[0].line, 6u);
    EXPECT_EQ(read(cases[1].content, Precision::Float).input.coords[3], 4500000.5);
}

std::string readError(const std::string& content, Precision precision = Precision::Double) {
    try {
        read(content, precision);
    } catch (const InputError& error) {
        return error.what();
    }
    return "no error";
}

TEST(ReadPoly, NamesTheLineOfEveryFault) {
    const std::string three = "3 2 0 0\n0 0 0\n1 1 0\n2 0 1\n";
    const std::pair<std::string, const char*> cases[] = {
        {"", "shape.poly: the file ends before the vertex count"},
        {"# nothing\n", "shape.poly: the file ends before the vertex count"},
        {"3 2 0\n", "shape.poly:1: expected the vertex count, the dimension 2, the attribute "
                    "count and the boundary-marker flag (0 or 1)"},
        {"3 3 0 0\n", "shape.poly:1: dimension 3: only 2 is read"},
        {"0 2 0 0\n", "shape.poly:1: vertex count 0: vertices in a separate .node file are not "
                      "read; list them in the .poly file"},
        {"1 2 0 0\n0 1 1\n", "shape.poly:1: at least two vertices are needed, found 1"},
        {"-3 2 0 0\n", "shape.poly:1: vertex count '-3' is not a whole number"},
        {"3 2 0 2\n", "shape.poly:1: boundary-marker flag must be 0 or 1, not 2"},
        {"4294967296 2 0 0\n", "shape.poly:1: vertex count 4294967296 is more than 4294967295"},
        {"3 2 0 0\n0 0 0\n", "shape.poly: the file ends after 1 of 3 vertices"},
        {"3 2 0 0\n2 0 0\n",
         "shape.poly:2: the first vertex is numbered 2; vertices are numbered from 0 or from 1"},
        {"3 2 0 0\n1 0 0\n3 1 0\n", "shape.poly:3: vertex 3 where vertex 2 was expected: "
                                    "vertices are numbered one after the other"},
        {"3 2 1 0\n0 0 0\n", "shape.poly:2: expected a vertex: its number, x, y, 1 attribute"},
        {"3 2 2 1\n0 0 0 1 2\n",
         "shape.poly:2: expected a vertex: its number, x, y, 2 attributes and a boundary marker"},
        {"3 2 0 0\n0 0 0 0\n", "shape.poly:2: expected a vertex: its number, x, y"},
        {"3 2 0 0\n0 0 x\n", "shape.poly:2: 'x' is not a finite number"},
        {"3 2 0 0\n0 0 nan\n", "shape.poly:2: 'nan' is not a finite number"},
        {"3 2 0 0\n0 0 1e999\n", "shape.poly:2: number out of double range"},
        {"3 2 1 0\n0.5 0 0 1\n", "shape.poly:2: vertex number '0.5' is not an integer"},
        {"3 2 1 0\n0 0 0 z\n", "shape.poly:2: attribute 'z' is not a finite number"},
        {"3 2 0 1\n0 0 0 x\n", "shape.poly:2: boundary marker 'x' is not an integer"},
        {three, "shape.poly: the file ends before the segment count"},
        {three + "1\n", "shape.poly:5: expected the segment count and the boundary-marker flag "
                        "(0 or 1)"},
        // A count is trusted only as far as the lines that follow it.
        {three + "1000000000000 0\n", "shape.poly: the file ends after 0 of 1000000000000 "
                                      "segments"},
        {three + "1 1\n0 0 1\n",
         "shape.poly:6: expected a segment: its number, two vertex numbers and a boundary marker"},
        {three + "1 0\n4 0 3\n",
         "shape.poly:6: segment 4 names vertex 3, but the vertices are numbered 0 to 2"},
        {three + "1 0\n4 -1 2\n",
         "shape.poly:6: segment 4 names vertex -1, but the vertices are numbered 0 to 2"},
        {three + "1 0\n4 2 2\n", "shape.poly:6: segment 4 has both ends at vertex 2"},
        {"3 2 0 0\n1 0 0\n2 1 1\n3 0 0\n1 0\n1 3 1\n",
         "shape.poly:6: segment 1 joins vertices 3 and 1, which are at the same point"},
        {three + "0 0\n", "shape.poly: the file ends before the hole count"},
        {three + "0 0\n2\n1 0 0\n", "shape.poly: the file ends after 1 of 2 holes"},
        {three + "0 0\n1\n1 0\n", "shape.poly:7: expected a hole: its number, x and y"},
        {three + "0 0\n0\n1 2\n", "shape.poly:7: expected the region count or the end of the file"},
        {three + "0 0\n0\n1\n1 0 0\n",
         "shape.poly:8: expected a region: its number, x, y, an attribute and a maximum area"},
        {three + "0 0\n0\n0\n5\n", "shape.poly:8: expected the end of the file after the regions"},
    };
    for (const auto& [content, message] : cases) {
        EXPECT_EQ(readError(content), message) << content;
    }
    // Float range with --float; vertices that round to one float are one point.
    EXPECT_EQ(readError("3 2 0 0\n0 0 1e39\n", Precision::Float),
              "shape.poly:2: number out of float range");
    EXPECT_EQ(readError("2 2 0 0\n0 0 0\n1 1e-50 0\n1 0\n0 0 1\n0\n"), "no error");
    EXPECT_EQ(readError("2 2 0 0\n0 0 0\n1 1e-50 0\n1 0\n0 0 1\n0\n", Precision::Float),
              "shape.poly:5: segment 0 joins vertices 0 and 1, which are at the same point");
}

// The core names crossing segments by their positions in its list; the
// message names them as the file does, with their lines.
TEST(DescribeSegmentError, UsesTheFilesNumbersAndLines) {
    PolyFile poly;
    poly.segmentSources = {{1, 8}, {2, 9}, {7, 12}};
    EXPECT_EQ(describeSegmentError(poly, "shape.poly", EdgeAlgebra::CrossingSegments(0, 2)),
              "shape.poly:12: segments 1 and 7 cross (segment 1 is on line 8)");
    EXPECT_EQ(describeSegmentError(poly, "shape.poly", EdgeAlgebra::CrossingSegments(0, 3)),
              "shape.poly: triangulate: segments 0 and 3 cross");
    // Only the type counts, not a message that looks alike.
    EXPECT_EQ(describeSegmentError(poly, "shape.poly",
                                   std::invalid_argument("triangulate: segments 0 and 2 cross")),
              "shape.poly: triangulate: segments 0 and 2 cross");
}

} // namespace
