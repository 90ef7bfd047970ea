#pragma once

#include "scene/Circle.h"
#include "scene/Line.h"
#include "scene/Point.h"

#include <vector>

namespace TessaroTools {

// A bounded triangle of the triangulation, its corners counterclockwise.
struct Triangle {
    DelaunayTest::Point a;
    DelaunayTest::Point b;
    DelaunayTest::Point c;
};

// Everything the command can write about one triangulation.
struct TriangulationShapes {
    std::vector<DelaunayTest::Point> sites;
    // One per undirected edge, from the origin to the destination of the
    // edge's canonical record, as the program draws it; sorted by
    // coordinates.
    std::vector<DelaunayTest::Line> edges;
    // The bounded triangles, each starting at its corner that comes first by
    // coordinates; sorted by coordinates.
    std::vector<Triangle> triangles;
    // circles[i] is the circumcircle of triangles[i]: one of the three copies
    // the program computes for that triangle.
    std::vector<DelaunayTest::Circle> circles;
};

// Triangulates the sites with the core exactly as the program's Triangulate
// command does (sort by siteLess, divide and conquer, walk from the left hull
// edge) and turns the result into plain shapes. Needs at least two sites;
// coincident sites are handed to the core as they are (see
// mergeCoincidentSites). The result depends only on the sites, never on
// where the core's records lie in memory.
TriangulationShapes triangulateSites(const std::vector<DelaunayTest::Point>& sites);

} // namespace TessaroTools
