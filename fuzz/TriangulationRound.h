#pragma once

#include "FuzzInput.h"

#include <string>

namespace TessaroFuzz {

// Runs one input through everything a caller of the core does: the finite
// sites sorted with siteLess, triangulated, walked and audited; the fast
// construction compared with vertical cuts on them; again with the
// non-finite sites mixed in, which must sort last and change nothing; and
// (when the scene is built) the scene's Triangulate command on the same
// points. Checks that every quad-edge made is freed again. Returns an empty
// string when all holds, otherwise the first fault found.
std::string checkFuzzInput(const FuzzInput& input);

} // namespace TessaroFuzz
