#pragma once

#include "edgealgebra/Triangulate.h"

#include <vector>

namespace EdgeAlgebra {

// Carves a constrained triangulation down to the domain its segments
// enclose: keeps only the triangles that cannot be reached without crossing
// a segment, neither from outside the convex hull nor from a hole point.
// `holes` holds x, y pairs (x0, y0, x1, y1, ...), each a point inside a
// hole; a hole point outside every triangle is ignored, and one on an edge
// or a corner starts from one of the triangles there. Afterwards the
// arrays hold the kept triangles only, renumbered in their former order,
// `halfedges` is kNone along the new boundary, and `hull` is empty (the
// domain need not be convex).
//
// `coords` are the coordinates the triangulation was built from. Throws
// std::invalid_argument for an odd number of hole values, for a
// triangulation that names sites beyond `coords`, and for `constrained`
// flags that do not match the half-edges. Without segments every triangle
// is reachable from outside, and none is kept.
void keepEnclosed(Triangulation& triangulation, const std::vector<float>& coords,
                  const std::vector<float>& holes);
void keepEnclosed(Triangulation& triangulation, const std::vector<double>& coords,
                  const std::vector<double>& holes);

} // namespace EdgeAlgebra
