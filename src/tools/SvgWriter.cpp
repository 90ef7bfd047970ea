// The SVG picture: the program's background, the Voronoi cells in yellow when
// asked for, red edges (those on the input's segments three times as wide),
// blue circumcircles and green sites on top, in a view box fitted to the
// sites. SVG's y axis points down, so every y is negated to
// keep the picture the right way up.
#include "NumberText.h"
#include "OutputFormats.h"

#include <algorithm>
#include <cmath>

namespace TessaroTools {

namespace {

// Pixel size of the picture's longer side.
constexpr double pictureSize = 800.0;
// Radius of a site, in pixels, as the program's five-pixel points.
constexpr double siteRadiusPixels = 2.5;
// Width of an edge on a segment, in pixels; other edges are one pixel wide.
constexpr double segmentWidthPixels = 3.0;

// SVG's y of a plane y; 0 - y rather than -y, so that no "-0" appears.
double svgY(double y) {
    return 0.0 - y;
}

struct ViewBox {
    double x, y, width, height;
};

// The frame in SVG coordinates, y pointing down: the frame's top row (maxY)
// comes first.
ViewBox viewBoxOf(const SiteFrame& frame) {
    return ViewBox{frame.minX - frame.margin, -frame.maxY - frame.margin,
                   frame.maxX - frame.minX + 2.0 * frame.margin,
                   frame.maxY - frame.minY + 2.0 * frame.margin};
}

void writeHeader(TextBlockWriter& writer, const ViewBox& box) {
    const double scale = pictureSize / std::max(box.width, box.height);
    writer.text("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    writer.text("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"")
        .number(std::ceil(box.width * scale))
        .text("\" height=\"")
        .number(std::ceil(box.height * scale))
        .text("\" viewBox=\"")
        .number(box.x)
        .character(' ')
        .number(box.y)
        .character(' ')
        .number(box.width)
        .character(' ')
        .number(box.height)
        .text("\">\n");
    writer.text("<rect id=\"background\" x=\"")
        .number(box.x)
        .text("\" y=\"")
        .number(box.y)
        .text("\" width=\"")
        .number(box.width)
        .text("\" height=\"")
        .number(box.height)
        .text("\" fill=\"rgb(50%,50%,70%)\"/>\n");
}

// The edges on segments (`segments` true) or the others, as a group with
// its own id and width; a group without edges is left out.
void writeEdgeGroup(TextBlockWriter& writer, const TriangulationShapes& shapes, bool segments,
                    double width) {
    if (std::none_of(shapes.edges.begin(), shapes.edges.end(),
                     [segments](const Edge& edge) { return edge.segment == segments; })) {
        return;
    }
    writer.text(segments ? "<g id=\"segments\"" : "<g id=\"edges\"")
        .text(" stroke=\"rgb(100%,0%,0%)\" stroke-width=\"")
        .number(width)
        .text("\" fill=\"none\">\n");
    for (const Edge& edge : shapes.edges) {
        if (edge.segment != segments) {
            continue;
        }
        const Position& from = shapes.sites[edge.from];
        const Position& to = shapes.sites[edge.to];
        writer.text("<line x1=\"")
            .coordinate(from.x)
            .text("\" y1=\"")
            .coordinate(svgY(from.y))
            .text("\" x2=\"")
            .coordinate(to.x)
            .text("\" y2=\"")
            .coordinate(svgY(to.y))
            .text("\"/>\n");
    }
    writer.text("</g>\n");
}

// A circle through sites far out of range can come out infinite or NaN; such
// a value is no valid SVG length, so that circle is left out of the picture.
void writeCircleGroup(TextBlockWriter& writer, const std::vector<Circle>& circles, double pixel) {
    writer.text("<g id=\"circles\" stroke=\"rgb(0%,0%,100%)\" stroke-width=\"")
        .number(pixel)
        .text("\" fill=\"none\">\n");
    for (const Circle& circle : circles) {
        if (!std::isfinite(circle.center.x) || !std::isfinite(circle.center.y) ||
            !std::isfinite(circle.radius)) {
            continue;
        }
        writer.text("<circle cx=\"")
            .coordinate(circle.center.x)
            .text("\" cy=\"")
            .coordinate(svgY(circle.center.y))
            .text("\" r=\"")
            .coordinate(circle.radius)
            .text("\"/>\n");
    }
    writer.text("</g>\n");
}

// Each cell an outline of its own, so that a cell is one element.
void writeVoronoiGroup(TextBlockWriter& writer, const std::vector<VoronoiCell>& cells,
                       double pixel) {
    if (cells.empty()) {
        return;
    }
    writer.text("<g id=\"voronoi\" stroke=\"rgb(100%,100%,0%)\" stroke-width=\"")
        .number(pixel)
        .text("\" fill=\"none\">\n");
    for (const VoronoiCell& cell : cells) {
        writer.text("<polygon points=\"");
        for (std::size_t k = 0; k < cell.corners.size(); ++k) {
            writer.text(k == 0 ? "" : " ")
                .number(cell.corners[k][0] + 0.0)
                .character(',')
                .number(svgY(cell.corners[k][1]));
        }
        writer.text("\"/>\n");
    }
    writer.text("</g>\n");
}

void writeSiteGroup(TextBlockWriter& writer, const std::vector<Position>& sites, double radius) {
    writer.text("<g id=\"sites\" fill=\"rgb(0%,100%,0%)\" stroke=\"none\">\n");
    for (const Position& site : sites) {
        writer.text("<circle cx=\"")
            .coordinate(site.x)
            .text("\" cy=\"")
            .coordinate(svgY(site.y))
            .text("\" r=\"")
            .number(radius)
            .text("\"/>\n");
    }
    writer.text("</g>\n");
}

// The frame of `count` sites, the i-th at position(i).
template <typename PositionOf>
SiteFrame frameOf(std::size_t count, PositionOf position) {
    if (count == 0) {
        return SiteFrame{0.0, 0.0, 0.0, 0.0, 1.0};
    }
    double minX = position(0).x, maxX = minX;
    double minY = position(0).y, maxY = minY;
    for (std::size_t i = 1; i < count; ++i) {
        const Position p = position(i);
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const double longer = std::max(maxX - minX, maxY - minY);
    return SiteFrame{minX, minY, maxX, maxY, longer > 0.0 ? 0.05 * longer : 1.0};
}

} // namespace

SiteFrame frameSites(const std::vector<Position>& sites) {
    return frameOf(sites.size(), [&sites](std::size_t i) { return sites[i]; });
}

SiteFrame frameSites(const std::vector<double>& coords) {
    return frameOf(coords.size() / 2, [&coords](std::size_t i) {
        return Position{coords[2 * i], coords[2 * i + 1]};
    });
}

void writeSvg(std::ostream& out, const TriangulationShapes& shapes) {
    const ViewBox box = viewBoxOf(frameSites(shapes.sites));
    // Lengths in the picture are in the sites' units; one pixel of the
    // rendered picture is this long.
    const double pixel = std::max(box.width, box.height) / pictureSize;
    TextBlockWriter writer(out, shapes.precision);
    writeHeader(writer, box);
    writeVoronoiGroup(writer, shapes.cells, pixel);
    writeEdgeGroup(writer, shapes, false, pixel);
    writeEdgeGroup(writer, shapes, true, segmentWidthPixels * pixel);
    if (shapes.circlesInPicture) {
        writeCircleGroup(writer, shapes.circles, pixel);
    }
    writeSiteGroup(writer, shapes.sites, siteRadiusPixels * pixel);
    writer.text("</svg>\n");
}

} // namespace TessaroTools
