#pragma once

#include "results/CellGrid.h"
#include "results/FlatMesh.h"

#include <cstdint>
#include <vector>

namespace EdgeAlgebra {

// Where a walk toward a point ended.
struct WalkEnd {
    enum Kind { kInside, kBeyondBoundary, kStuck };
    Kind kind;
    std::uint32_t triangle; // the triangle reached
    // For kInside: bit k set where the point lies on the line of half-edge
    // 3 * triangle + k.
    unsigned onLine;
};

// A visibility walk toward (x, y) from triangle `start`: from each triangle it
// crosses an edge that has the point strictly on its far side, never the edge
// it came in by, trying the edges from a pseudo-random one onwards. The
// orientations are exact, so in a Delaunay triangulation every step brings
// it nearer and it arrives; in any other the random choice breaks cycles, and
// after `maxSteps` steps it gives up (kStuck) so that the caller can search
// another way. Internal to the core.
WalkEnd walkToward(const FlatMesh& mesh, std::uint32_t start, double x, double y,
                   std::uint32_t maxSteps);

// The bits of WalkEnd::onLine for (x, y) in triangle `triangle`.
unsigned linesThrough(const FlatMesh& mesh, std::uint32_t triangle, double x, double y);

// Of the triangles whose closed area holds a point, the one with the lowest
// number in `numbers` (per triangle), given one of them, `triangle`, and the
// lines of its edges through the point (`onLine`): the point lies inside it,
// on an edge shared with one other, or on a corner shared with the fan
// around it. `outgoing` as from outgoingHalfedges.
std::uint32_t lowestHolding(const FlatMesh& mesh, const std::vector<std::uint32_t>& outgoing,
                            const std::vector<std::uint32_t>& numbers, std::uint32_t triangle,
                            unsigned onLine);

// Per cell of a coarse grid over the sites, a triangle near it, where walks
// for points in the cell start.
class StartGrid {
public:
    StartGrid() = default;
    explicit StartGrid(const FlatMesh& mesh);
    std::uint32_t triangleNear(double x, double y) const {
        return m_start.empty() ? 0 : m_start[m_grid.cell(x, y)];
    }

private:
    CellGrid m_grid{0, 0, 0, 0, 1};
    std::vector<std::uint32_t> m_start;
};

} // namespace EdgeAlgebra
