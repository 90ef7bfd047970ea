#include "OutputFormats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

using DelaunayTest::Circle;
using DelaunayTest::Line;
using DelaunayTest::Point;
using TessaroTools::OutputFormat;
using TessaroTools::Triangle;
using TessaroTools::TriangulationShapes;

TriangulationShapes oneTriangle() {
    TriangulationShapes shapes;
    shapes.sites = {{0, 0}, {4, 0}, {0, 3}};
    shapes.edges = {Line({0, 0}, {4, 0}), Line({4, 0}, {0, 3}), Line({0, 3}, {0, 0})};
    shapes.triangles = {Triangle{{0, 0}, {4, 0}, {0, 3}}};
    shapes.circles = {Circle(Point(2, 1.5f), 2.5f)};
    shapes.cells = {{1000000, {{-0.0, 0.0}, {1.0, -0.0}, {1.0, 0.25}}}};
    return shapes;
}

std::string written(const TriangulationShapes& shapes, OutputFormat format) {
    std::ostringstream out;
    TessaroTools::writeShapes(out, shapes, format);
    return out.str();
}

TEST(TextFormats, OneShapePerLine) {
    const TriangulationShapes shapes = oneTriangle();
    EXPECT_EQ(written(shapes, OutputFormat::Edges), "0 0 4 0\n4 0 0 3\n0 3 0 0\n");
    EXPECT_EQ(written(shapes, OutputFormat::Triangles), "0 0 4 0 0 3\n");
    EXPECT_EQ(written(shapes, OutputFormat::Circles), "2 1.5 2.5\n");
    EXPECT_EQ(written(shapes, OutputFormat::Voronoi), "1000000 0 0 1 0 1 0.25\n");
}

TEST(TextFormats, NumbersAreTheShortestTextThatReadsBackExactly) {
    const float values[] = {0.1f,     -1.0f / 3.0f,        1e-7f,     16777217.0f, FLT_MAX,
                            -FLT_MIN, 1.17549435e-38f / 4, 123456.79f};
    TriangulationShapes shapes;
    for (float v : values) {
        shapes.edges.emplace_back(Point(v, -v), Point(v * 0.5f, 2.0f));
    }
    std::istringstream lines(written(shapes, OutputFormat::Edges));
    std::string line;
    for (float v : values) {
        ASSERT_TRUE(std::getline(lines, line));
        std::istringstream fields(line);
        std::string first;
        fields >> first;
        EXPECT_EQ(std::strtof(first.c_str(), nullptr), v) << first;
        EXPECT_LE(first.size(), 15u) << first;
    }
    EXPECT_EQ(written(shapes, OutputFormat::Edges).substr(0, 16), "0.1 -0.1 0.05 2\n");
}

TEST(TextFormats, LargeOutputArrivesWhole) {
    TriangulationShapes shapes;
    for (int i = 0; i < 50000; ++i) {
        shapes.edges.emplace_back(Point(static_cast<float>(i), 0), Point(0, 1));
    }
    const std::string text = written(shapes, OutputFormat::Edges);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 50000);
    EXPECT_EQ(text.substr(text.size() - 12), "49999 0 0 1\n");
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t pos = text.find(part); pos != std::string::npos;
         pos = text.find(part, pos + 1)) {
        ++count;
    }
    return count;
}

TEST(Svg, HoldsEveryShapeInTheProgramsColours) {
    const std::string svg = written(oneTriangle(), OutputFormat::Svg);
    EXPECT_EQ(occurrences(svg, "<line "), 3u);
    EXPECT_EQ(occurrences(svg, "<circle "), 1u + 3u);
    EXPECT_NE(svg.find("fill=\"rgb(50%,50%,70%)\""), std::string::npos) << "background";
    EXPECT_NE(svg.find("<g id=\"edges\" stroke=\"rgb(100%,0%,0%)\""), std::string::npos);
    EXPECT_NE(svg.find("<g id=\"circles\" stroke=\"rgb(0%,0%,100%)\""), std::string::npos);
    EXPECT_NE(svg.find("<g id=\"sites\" fill=\"rgb(0%,100%,0%)\""), std::string::npos);
    EXPECT_NE(svg.find("<g id=\"voronoi\" stroke=\"rgb(100%,100%,0%)\""), std::string::npos);
    EXPECT_NE(svg.find("<polygon points=\"0,0 1,0 1,-0.25\"/>"), std::string::npos);
    // Sites are drawn last, on top of edges and circles, as in the program;
    // the Voronoi cells first, under the edges.
    EXPECT_LT(svg.find("id=\"voronoi\""), svg.find("id=\"edges\""));
    EXPECT_LT(svg.find("id=\"edges\""), svg.find("id=\"circles\""));
    EXPECT_LT(svg.find("id=\"circles\""), svg.find("id=\"sites\""));
}

TEST(Svg, ViewBoxIsTheSitesBoxWithAMarginAndYPointsUp) {
    const std::string svg = written(oneTriangle(), OutputFormat::Svg);
    // Sites span x 0..4 and y 0..3 (SVG y -3..0); margin 5% of 4.
    EXPECT_NE(svg.find("viewBox=\"-0.2 -3.2 4.4 3.4\""), std::string::npos) << svg;
    // 800 pixels across the longer side: strokes one pixel wide, sites 2.5
    // pixels in radius (up to the rounding of the last digit).
    EXPECT_NE(svg.find("width=\"800\" height=\"619\""), std::string::npos);
    EXPECT_EQ(occurrences(svg, "stroke-width=\"0.0055"), 3u);
    EXPECT_EQ(occurrences(svg, "r=\"0.01375"), 3u);
    EXPECT_NE(svg.find("<line x1=\"4\" y1=\"0\" x2=\"0\" y2=\"-3\""), std::string::npos);
    EXPECT_NE(svg.find("<circle cx=\"2\" cy=\"-1.5\" r=\"2.5\""), std::string::npos);
    // The same frame, in the plane, is the Voronoi cells' default box.
    const EdgeAlgebra::Box box = TessaroTools::frameSites(oneTriangle().sites).box();
    EXPECT_DOUBLE_EQ(box.xmin, -0.2);
    EXPECT_DOUBLE_EQ(box.ymin, -0.2);
    EXPECT_DOUBLE_EQ(box.xmax, 4.2);
    EXPECT_DOUBLE_EQ(box.ymax, 3.2);
}

TEST(Svg, CoincidentSitesGetAUnitMarginAndNonFiniteCirclesAreLeftOut) {
    TriangulationShapes shapes;
    shapes.sites = {{5, 5}, {5, 5}};
    shapes.edges = {Line({5, 5}, {5, 5})};
    shapes.circles = {Circle(Point(INFINITY, 0), NAN)};
    const std::string svg = written(shapes, OutputFormat::Svg);
    EXPECT_NE(svg.find("viewBox=\"4 -6 2 2\""), std::string::npos) << svg;
    EXPECT_EQ(occurrences(svg, "<circle "), 2u) << "the two sites only";
}

TEST(FormatNames, NameEachFormat) {
    EXPECT_EQ(TessaroTools::outputFormatNamed("edges"), OutputFormat::Edges);
    EXPECT_EQ(TessaroTools::outputFormatNamed("triangles"), OutputFormat::Triangles);
    EXPECT_EQ(TessaroTools::outputFormatNamed("circles"), OutputFormat::Circles);
    EXPECT_EQ(TessaroTools::outputFormatNamed("svg"), OutputFormat::Svg);
    EXPECT_FALSE(TessaroTools::outputFormatNamed("png"));
    EXPECT_FALSE(TessaroTools::outputFormatNamed(""));
}

} // namespace
