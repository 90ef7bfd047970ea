// The construction that defines the compact results, buildWithVerticalCuts:
// Guibas and Stolfi's divide and conquer with vertical cuts alone in each
// unit.
#include "construction/CompactConstruction.h"

#include "construction/DivideAndConquerSteps.h"
#include "construction/UnitSchedule.h"

#include <cstdint>
#include <utility>

namespace EdgeAlgebra {
namespace CompactConstruction {

namespace {

// Vertical cuts over vertices [lo, hi) in sort order.
template <typename Coordinate, Cocircular policy>
HullEdges<Coordinate, policy> verticalCuts(CompactMesh<Coordinate, policy>& mesh, std::uint32_t lo,
                                           std::uint32_t hi) {
    if (hi - lo == 2) {
        return DivideAndConquerSteps::triangulateTwo(mesh, lo, lo + 1);
    }
    if (hi - lo == 3) {
        return DivideAndConquerSteps::triangulateThree(mesh, lo, lo + 1, lo + 2);
    }
    const std::uint32_t mid = lo + (hi - lo) / 2;
    const auto lower = verticalCuts(mesh, lo, mid);
    const auto upper = verticalCuts(mesh, mid, hi);
    return DivideAndConquerSteps::merge(mesh, lower, upper);
}

} // namespace

template <typename Coordinate, Cocircular policy>
CompactTriangulation<Coordinate>
buildWithVerticalCuts(PageArray<CompactVertex<Coordinate>> vertices, unsigned threads) {
    static_assert(policy != Cocircular::Decline, "vertical cuts decide every tie");
    using Mesh = CompactMesh<Coordinate, policy>;
    CompactTriangulation<Coordinate> result;
    const std::size_t n = vertices.size();
    result.edges = CompactSubdivision(quadCapacity(n));
    auto build = unitBuild<policy>(
        result.edges, vertices.data(), n,
        [](Mesh& mesh, std::uint32_t lo, std::uint32_t hi) { return verticalCuts(mesh, lo, hi); });
    const auto hull = build.build(0, static_cast<std::uint32_t>(n), threads, result.region);
    result.region.markUnusedFree(result.edges);
    result.vertices = std::move(vertices);
    result.first = hull.le;
    result.last = hull.re;
    return result;
}

#define EDGEALGEBRA_INSTANTIATE(Coordinate)                                                        \
    template CompactTriangulation<Coordinate>                                                      \
    buildWithVerticalCuts<Coordinate, Cocircular::NotInside>(PageArray<CompactVertex<Coordinate>>, \
                                                             unsigned);                            \
    template CompactTriangulation<Coordinate>                                                      \
    buildWithVerticalCuts<Coordinate, Cocircular::Canonical>(PageArray<CompactVertex<Coordinate>>, \
                                                             unsigned);
EDGEALGEBRA_INSTANTIATE(float)
EDGEALGEBRA_INSTANTIATE(double)
#undef EDGEALGEBRA_INSTANTIATE

} // namespace CompactConstruction
} // namespace EdgeAlgebra
