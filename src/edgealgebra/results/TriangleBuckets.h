#pragma once

#include "results/CellGrid.h"
#include "results/FlatMesh.h"

#include <cstdint>
#include <vector>

namespace EdgeAlgebra {

// The triangles of a mesh listed by the grid cells their bounding boxes
// cover, for meshes that a walk cannot cross (carved domains with holes and
// inlets): a point is looked up among the few triangles of its cell.
// Internal to the core.
class TriangleBuckets {
public:
    TriangleBuckets() = default;
    explicit TriangleBuckets(const FlatMesh& mesh);

    // Of the triangles whose closed area holds (x, y), the one with the
    // lowest number in `numbers` (per triangle), or kNone.
    std::uint32_t find(const FlatMesh& mesh, const std::vector<std::uint32_t>& numbers, double x,
                       double y) const;

private:
    CellGrid m_grid{0, 0, 0, 0, 1};
    std::vector<std::uint32_t> m_first; // per cell, into m_triangles; one more at the end
    std::vector<std::uint32_t> m_triangles;
};

} // namespace EdgeAlgebra
