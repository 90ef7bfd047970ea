#pragma once

#include "scene/Point.h"

#include <vector>

namespace TessaroTools {

// The sites with every group of coincident ones (equal x and equal y) merged
// into one, in ascending (x, y) order. The core accepts coincident sites but
// then builds a subdivision that need be neither convex nor Delaunay, so the
// command triangulates each position once.
std::vector<DelaunayTest::Point> mergeCoincidentSites(std::vector<DelaunayTest::Point> sites);

} // namespace TessaroTools
