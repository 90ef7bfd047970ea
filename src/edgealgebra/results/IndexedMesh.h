#pragma once

#include "edgealgebra/Triangulate.h"
#include "results/FlatMesh.h"
#include "results/TriangleWalk.h"

#include <cstdint>
#include <vector>

namespace EdgeAlgebra {

// A triangulation held for queries: its sites and triangles renumbered in the
// Morton (Z) order (sites by position, triangles by centroid), so
// that a walk through neighbouring triangles reads neighbouring memory, with
// the numbers they had; and what the walks need to start and to turn around
// a site. Internal to the core.
struct IndexedMesh {
    // `coords` are the sites of `given`, x0, y0, x1, y1, ... The arrays are
    // laid out on up to `threads` threads (0: all the hardware's).
    IndexedMesh(const Triangulation& given, const std::vector<double>& coords, unsigned threads);

    FlatMesh mesh() const { return {t, xy}; }

    Triangulation t; // renumbered; no constrained flags
    std::vector<double> xy;
    std::vector<std::uint32_t> originalSite;     // per site, its number in `given`
    std::vector<std::uint32_t> originalTriangle; // per triangle, its number in `given`
    std::vector<std::uint32_t> outgoing;
    StartGrid start;
};

} // namespace EdgeAlgebra
