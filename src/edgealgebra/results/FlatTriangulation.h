#pragma once

#include "construction/CompactConstruction.h"
#include "edgealgebra/Triangulate.h"

namespace EdgeAlgebra {

// Turns a finished compact triangulation into flat index arrays, naming each
// vertex by its CompactVertex::site. The compact triangulation is used up:
// its arrays are rewritten in place and handed back as soon as each pass has
// done with them, so that the result and its source never fill memory
// together.
Triangulation flatten(CompactTriangulation built);

} // namespace EdgeAlgebra
