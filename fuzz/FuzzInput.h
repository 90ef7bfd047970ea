#pragma once

#include <vector>

namespace TessaroFuzz {

// One coordinate pair as the decoder produced it.
struct SitePoint {
    float x;
    float y;
};

// What one fuzz input asks for: finite sites to triangulate, sites with a NaN
// or infinite coordinate to mix in on a second, core-only pass, and the seed
// of the scene that draws the same sites.
struct FuzzInput {
    std::vector<SitePoint> sites;
    std::vector<SitePoint> nonFinite;
    unsigned sceneSeed = 0;
};

} // namespace TessaroFuzz
