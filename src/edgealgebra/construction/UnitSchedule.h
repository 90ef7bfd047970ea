#pragma once

#include "construction/CompactConstruction.h"
#include "construction/DivideAndConquerSteps.h"
#include "parallel/ForkJoin.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace EdgeAlgebra {
namespace CompactConstruction {

// A triangulation on n distinct sites has at most 3n - 6 edges (n >= 3), and
// every intermediate subdivision of the merges is planar on its sites too, so
// 3n quads always suffice.
inline std::size_t quadCapacity(std::size_t sites) {
    return 3 * sites;
}

template <typename Coordinate, Cocircular policy>
using HullEdges = DivideAndConquerSteps::HullEdges<CompactMesh<Coordinate, policy>>;

// Both constructions cut the sorted sites vertically, at lo + (hi - lo) / 2,
// down to parts of at most unitSites(n) sites, the units. A unit is built in
// turn on one thread, with quads from a region of its own: the part [lo, hi)
// owns quads [3 lo, 3 hi), room enough for any planar subdivision of its
// sites. Units on either side of a cut are independent until their merge, so
// they are built on separate threads while threads are to be had; the merge
// takes over both regions. Where the quads of an edge lie depends only on n
// and the sites, never on the number of threads.
inline std::size_t unitSites(std::size_t n) {
    constexpr std::size_t kMinimumUnitSites = 8192;
    constexpr std::size_t kMostUnits = 64;
    return std::max(kMinimumUnitSites, (n + kMostUnits - 1) / kMostUnits);
}

// Schedules the units of one construction and merges them; buildUnit(mesh,
// lo, hi) triangulates one unit and returns its hull edges in sort order.
template <typename Coordinate, Cocircular policy, typename BuildUnit>
class UnitBuild {
public:
    using Mesh = CompactMesh<Coordinate, policy>;
    using Hull = HullEdges<Coordinate, policy>;

    UnitBuild(CompactSubdivision& edges, const CompactVertex<Coordinate>* vertices, std::size_t n,
              BuildUnit buildUnit)
        : m_edges(edges), m_vertices(vertices), m_unitSites(unitSites(n)), m_buildUnit(buildUnit) {}

    // Triangulates vertices [lo, hi) with up to `threads` threads; `region`
    // ends up with the quads the part may still use.
    Hull build(std::uint32_t lo, std::uint32_t hi, unsigned threads, QuadRegion& region) {
        if (hi - lo <= m_unitSites) {
            region = QuadRegion(3 * lo, 3 * hi);
            Mesh mesh(m_edges, region, m_vertices);
            return m_buildUnit(mesh, lo, hi);
        }
        const std::uint32_t mid = lo + (hi - lo) / 2;
        Hull lower{}, upper{};
        QuadRegion upperRegion;
        const unsigned lowerThreads = threads / 2;
        ForkJoin::both(
            threads > 1, [&, this] { lower = build(lo, mid, std::max(lowerThreads, 1u), region); },
            [&, this] { upper = build(mid, hi, threads - lowerThreads, upperRegion); });
        region.absorb(upperRegion, m_edges);
        Mesh mesh(m_edges, region, m_vertices);
        return DivideAndConquerSteps::merge(mesh, lower, upper);
    }

private:
    CompactSubdivision& m_edges;
    const CompactVertex<Coordinate>* m_vertices;
    std::size_t m_unitSites;
    BuildUnit m_buildUnit;
};

template <Cocircular policy, typename Coordinate, typename BuildUnit>
UnitBuild<Coordinate, policy, BuildUnit> unitBuild(CompactSubdivision& edges,
                                                   const CompactVertex<Coordinate>* vertices,
                                                   std::size_t n, BuildUnit buildUnit) {
    return UnitBuild<Coordinate, policy, BuildUnit>(edges, vertices, n, buildUnit);
}

} // namespace CompactConstruction
} // namespace EdgeAlgebra
