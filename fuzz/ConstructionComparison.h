#pragma once

#include "edgealgebra/Site.h"

#include <string>
#include <vector>

namespace TessaroFuzz {

struct ComparisonResult {
    bool kept = false; // the fast construction kept its result
    std::string fault; // empty when everything held
};

// Runs the triangulator's fast construction (strips cut horizontally) on
// sites sorted by siteLess. If it keeps its result, that must be the
// subdivision that vertical cuts alone build from the finite sites, record
// for record: the same
// quads in the same direction, the same Onext rings, the same hull edges. If
// it declines, it must leave no quad alive. Both results are freed again.
ComparisonResult compareConstructions(std::vector<EdgeAlgebra::Site*>& sorted);

} // namespace TessaroFuzz
