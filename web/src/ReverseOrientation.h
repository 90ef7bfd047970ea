#pragma once

#include <edgealgebra/Triangulate.h>

namespace TessaroWeb {

// Turns the flat arrays between the core's counterclockwise order and
// delaunator's clockwise one (both with y pointing up); applying it twice
// gives the arrays back. Each triangle's second and third corners swap; the
// half-edge numbered k inside its triangle becomes the one numbered 2 - k,
// which covers the same edge in the other direction, so halfedges and
// constrained are permuted and halfedges' values renumbered alike. The hull
// runs the other way from the same first site; sites on one line (no
// triangles) stay in their order along it.
void reverseOrientation(EdgeAlgebra::Triangulation& triangulation);

} // namespace TessaroWeb
