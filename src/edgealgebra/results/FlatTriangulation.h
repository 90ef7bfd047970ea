#pragma once

#include "construction/CompactConstruction.h"
#include "edgealgebra/Triangulate.h"

namespace EdgeAlgebra {

// Turns a finished compact triangulation into flat index arrays, naming each
// vertex by its CompactVertex::site, on up to `threads` threads; the arrays
// are the same for every number of threads. The compact triangulation is
// used up: its quads go back to the system as soon as they have been read,
// so that the result and its source never fill memory together.
//
// With `segmentOf` (the segment each quad's edge lies on, or kNoSegment), the
// result's `constrained` flags mark the half-edges on segments.
template <typename Coordinate>
Triangulation flatten(CompactTriangulation<Coordinate> built, unsigned threads,
                      const std::vector<std::uint32_t>* segmentOf = nullptr);

} // namespace EdgeAlgebra
