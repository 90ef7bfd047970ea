#include "OutputFormats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

using TessaroTools::OutputFormat;
using TessaroTools::Precision;
using TessaroTools::TriangulationShapes;

// Sites (0, 0), (0, 3), (4, 0) in x-then-y order.
TriangulationShapes oneTriangle() {
    TriangulationShapes shapes;
    shapes.sites = {{0, 0}, {0, 3}, {4, 0}};
    shapes.edges = {{0, 2, false}, {2, 1, false}, {1, 0, false}};
    shapes.triangles = {{0, 2, 1}};
    shapes.circles = {{{2, 1.5}, 2.5}};
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

// Each value v as the edge from (v, -v) to (0, 2), in the given precision:
// its text must read back as v in that precision, and be short.
TEST(TextFormats, NumbersAreTheShortestTextThatReadsBackExactly) {
    const std::pair<Precision, std::vector<double>> cases[] = {
        {Precision::Float,
         {0.1f, -1.0f / 3.0f, 1e-7f, 16777217.0f, FLT_MAX, -FLT_MIN, 1.17549435e-38f / 4,
          123456.79f, 4500000.5f}},
        {Precision::Double,
         {0.1, -1.0 / 3.0, 1e-7, 9007199254740993.0, DBL_MAX, -DBL_MIN, 4.9e-324, 500000.12,
          4500000.34}},
    };
    for (const auto& [precision, values] : cases) {
        TriangulationShapes shapes;
        shapes.precision = precision;
        shapes.sites = {{0, 2}};
        for (double v : values) {
            shapes.sites.push_back({v, -v});
            shapes.edges.push_back({static_cast<std::uint32_t>(shapes.sites.size() - 1), 0, false});
        }
        std::istringstream lines(written(shapes, OutputFormat::Edges));
        std::string line;
        for (double v : values) {
            ASSERT_TRUE(std::getline(lines, line));
            std::istringstream fields(line);
            std::string first;
            fields >> first;
            if (precision == Precision::Float) {
                EXPECT_EQ(std::strtof(first.c_str(), nullptr), v) << first;
            } else {
                EXPECT_EQ(std::strtod(first.c_str(), nullptr), v) << first;
            }
            EXPECT_LE(first.size(), precision == Precision::Float ? 15u : 24u) << first;
        }
        EXPECT_EQ(written(shapes, OutputFormat::Edges).substr(0, 13), "0.1 -0.1 0 2\n");
    }
}

TEST(TextFormats, LargeOutputArrivesWhole) {
    TriangulationShapes shapes;
    shapes.sites.push_back({0, 1});
    for (int i = 0; i < 50000; ++i) {
        shapes.sites.push_back({static_cast<double>(i), 0});
        shapes.edges.push_back({static_cast<std::uint32_t>(i + 1), 0, false});
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
    TriangulationShapes shapes = oneTriangle();
    shapes.edges[1].segment = true;
    const std::string svg = written(shapes, OutputFormat::Svg);
    EXPECT_EQ(occurrences(svg, "<line "), 3u);
    // The edge on a segment in a group of its own, three pixels wide.
    EXPECT_NE(svg.find("<g id=\"segments\" stroke=\"rgb(100%,0%,0%)\" stroke-width=\"0.0165\" "
                       "fill=\"none\">\n<line x1=\"4\" y1=\"0\" x2=\"0\" y2=\"-3\"/>\n</g>"),
              std::string::npos)
        << svg;
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
    EXPECT_LT(svg.find("id=\"edges\""), svg.find("id=\"segments\""));
    EXPECT_LT(svg.find("id=\"segments\""), svg.find("id=\"circles\""));
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
    shapes.edges = {{0, 1, false}};
    shapes.circles = {{{INFINITY, 0}, NAN}};
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
