#pragma once

#include "construction/CompactConstruction.h"

namespace EdgeAlgebra {
namespace CompactConstruction {

// Whether every interior edge is strictly locally Delaunay: the far vertex of
// the triangle on its right lies strictly outside the circle of the triangle
// on its left. Then the sites have only one Delaunay triangulation, and this
// is it. Every face but the outer one must be a counterclockwise triangle;
// edges on the outer face (all of them, for a collinear chain) have no second
// triangle. Checked in chunks of quads, on up to `threads` threads.
template <typename Coordinate>
bool isStrictlyDelaunay(const CompactTriangulation<Coordinate>& t, unsigned threads);

} // namespace CompactConstruction
} // namespace EdgeAlgebra
