// Compares a screenshot of the program's window with what it must show:
// green 5-pixel sites, red edges and blue circle outlines on the background,
// and nothing else. Anti-aliased lines may spread and blend, so strokes are
// matched within a small distance and blended pixels are allowed next to them.
#pragma once

#include "image.h"
#include "reference_delaunay.h"

#include <array>
#include <string>
#include <vector>

namespace e2e {

struct ExpectedPicture {
    std::vector<SitePoint> sites;
    std::vector<std::array<SitePoint, 2>> edges;
    std::vector<ReferenceCircle> circles;
};

// The differences found, as readable sentences; empty when the picture is
// the expected one. `window` is the whole 800 by 600 window.
std::vector<std::string> pictureDifferences(const Image& window, const ExpectedPicture& expected);

} // namespace e2e
