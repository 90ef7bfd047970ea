#pragma once

#include "PlanarInput.h"
#include "Precision.h"

#include <edgealgebra/Refine.h>
#include <edgealgebra/Voronoi.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace TessaroTools {

// An edge between two sites, named by their positions in
// TriangulationShapes::sites, in the direction in which the program draws it.
struct Edge {
    std::uint32_t from;
    std::uint32_t to;
    // Part of a segment of the input.
    bool segment;
};

// A triangle's corners, counterclockwise, as positions in
// TriangulationShapes::sites.
using Triangle = std::array<std::uint32_t, 3>;

struct Circle {
    Position center;
    double radius;
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
    // How the numbers were read and are to be written: with Float, every
    // coordinate and circle is a float held in a double.
    Precision precision = Precision::Double;
    // The distinct sites, sorted by x and then y; edges and triangles name
    // them by their position here.
    std::vector<Position> sites;
    // One per undirected edge; sorted by their ends' positions in `sites`.
    std::vector<Edge> edges;
    // The triangles, each starting at its corner that comes first in
    // `sites`; sorted likewise.
    std::vector<Triangle> triangles;
    // circles[i] is the circumcircle of triangles[i].
    std::vector<Circle> circles;
    // Whether the SVG picture draws the circles: not for a refined mesh,
    // whose many small circles would hide it.
    bool circlesInPicture = true;
    // The sites' Voronoi cells that meet the box, in input order; empty
    // unless asked for.
    std::vector<VoronoiCell> cells;
};

// Triangulates the input with the core and turns the result into plain
// shapes, with edges drawn in the program's directions. Without segments it
// is the Delaunay triangulation; with segments the constrained one, carved
// down to the triangles the segments enclose, less the holes. Of coincident
// sites the first takes part and the others are left out, as the core leaves
// them out. Needs at least two sites.
//
// Double: the coordinates as they are, circles computed in double precision
// from the triangle's first corner. Float: the coordinates must be floats;
// each circle is the one the program computes, bit for bit.
//
// With a box, also the Voronoi cells of the sites (of their Delaunay
// triangulation: segments and holes play no part) clipped to it. Throws the
// core's std::invalid_argument for segments that cross.
TriangulationShapes triangulateSites(const PlanarInput& input, Precision precision,
                                     const std::optional<EdgeAlgebra::Box>& voronoiBox = {});

// The shapes of a refined mesh, over all its points (the input's and the
// new ones), in double precision.
TriangulationShapes meshShapes(const EdgeAlgebra::Mesh& mesh);

} // namespace TessaroTools
