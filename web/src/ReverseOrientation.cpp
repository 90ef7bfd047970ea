#include "ReverseOrientation.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace TessaroWeb {

namespace {

// Half-edge 3t + k becomes 3t + 2 - k.
constexpr std::uint32_t mirrored(std::uint32_t e) {
    return e - e % 3 + 2 - e % 3;
}

} // namespace

void reverseOrientation(EdgeAlgebra::Triangulation& triangulation) {
    auto& triangles = triangulation.triangles;
    auto& halfedges = triangulation.halfedges;
    auto& constrained = triangulation.constrained;
    for (std::size_t e = 0; e + 2 < triangles.size(); e += 3) {
        std::swap(triangles[e + 1], triangles[e + 2]);
        std::swap(halfedges[e], halfedges[e + 2]);
        if (!constrained.empty()) {
            std::swap(constrained[e], constrained[e + 2]);
        }
    }
    for (std::uint32_t& opposite : halfedges) {
        if (opposite != EdgeAlgebra::kNone) {
            opposite = mirrored(opposite);
        }
    }
    auto& hull = triangulation.hull;
    if (!triangles.empty() && hull.size() > 2) {
        std::reverse(hull.begin() + 1, hull.end());
    }
}

} // namespace TessaroWeb
