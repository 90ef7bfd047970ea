#pragma once

#include "scene/Circle.h"
#include "scene/Line.h"
#include "scene/Point.h"

#include <edgealgebra/Voronoi.h>

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace TessaroTools {

// A bounded triangle of the triangulation, its corners counterclockwise.
struct Triangle {
    DelaunayTest::Point a;
    DelaunayTest::Point b;
    DelaunayTest::Point c;
};

// The Voronoi cell of one site, clipped to a box: its corners
// counterclockwise.
struct VoronoiCell {
    // The site's position in the input.
    std::size_t site;
    std::vector<std::array<double, 2>> corners;
};

// Everything the command can write about one triangulation.
struct TriangulationShapes {
    // The distinct sites, sorted by coordinates.
    std::vector<DelaunayTest::Point> sites;
    // One per undirected edge, in the direction in which the program draws
    // it; sorted by coordinates.
    std::vector<DelaunayTest::Line> edges;
    // The bounded triangles, each starting at its corner that comes first by
    // coordinates; sorted by coordinates.
    std::vector<Triangle> triangles;
    // circles[i] is the circumcircle of triangles[i]: one of the three copies
    // the program computes for that triangle.
    std::vector<DelaunayTest::Circle> circles;
    // The sites' Voronoi cells that meet the box, in input order; empty
    // unless asked for.
    std::vector<VoronoiCell> cells;
};

// Triangulates the sites with the core and turns the result into plain
// shapes: the same edges, drawn in the same directions, and the same circles
// as the program's Triangulate command gives. Needs at least two sites; of
// coincident sites the first takes part and the others are left out, as the
// core leaves them out. With a box, also the Voronoi cells clipped to it.
TriangulationShapes triangulateSites(const std::vector<DelaunayTest::Point>& sites,
                                     const std::optional<EdgeAlgebra::Box>& voronoiBox = {});

} // namespace TessaroTools
