// The strip construction, buildWithStrips: Dwyer's variant of the divide and
// conquer in each unit (vertical cuts down to strips, horizontal cuts within
// each strip), kept only when UniquenessCheck proves it the one result.
#include "construction/CompactConstruction.h"

#include "construction/DivideAndConquerSteps.h"
#include "construction/UniquenessCheck.h"
#include "construction/UnitSchedule.h"
#include "sorting/RadixSort.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <vector>

namespace EdgeAlgebra {
namespace CompactConstruction {

namespace {

using Record = CompactSubdivision::Record;

// First by x, then by y: the sort order of distinct sites.
template <typename Coordinate>
bool precedes(const CompactVertex<Coordinate>& a, const CompactVertex<Coordinate>& b) {
    return a.x < b.x || (a.x == b.x && a.y < b.y);
}

// Strips of about sqrt(n log n) sites (Dwyer's choice): the horizontal cuts
// inside a strip then give cells that stay roughly square down to about
// log n sites, and the vertical merges of the strips are few.
std::uint32_t stripSites(std::size_t n) {
    const double count = static_cast<double>(n);
    return static_cast<std::uint32_t>(std::max(3.0, std::sqrt(count * std::log2(count))));
}

// Halves are cut in two orders. Vertical cuts split the sites in their sort
// order (x, then y). Horizontal cuts split them in the same order seen in a
// frame turned by a quarter turn clockwise, (x, y) -> (y, -x): ascending y,
// then descending x. A turn keeps every orientation, so the merge of Guibas
// and Stolfi works unchanged on halves separated in either order.
template <typename Coordinate, Cocircular policy>
class StripUnit {
public:
    using Vertex = CompactVertex<Coordinate>;
    using Mesh = CompactMesh<Coordinate, policy>;
    using Hull = HullEdges<Coordinate, policy>;

    StripUnit(Vertex* vertices, Mesh& mesh, const CompactSubdivision& edges,
              std::uint32_t stripSites)
        : m_vertices(vertices), m_mesh(mesh), m_edges(edges), m_stripSites(stripSites) {}

    // Orders the unit's vertices for the cuts, then triangulates them; the
    // hull edges returned are those of the sort order.
    Hull run(std::uint32_t lo, std::uint32_t hi) {
        arrange(lo, hi);
        return build(lo, hi);
    }

private:
    bool isStrip(std::uint32_t lo, std::uint32_t hi) const { return hi - lo <= m_stripSites; }

    // Vertical strips come from halving the sorted vertices; each strip is
    // then sorted in the turned order for its horizontal cuts.
    void arrange(std::uint32_t lo, std::uint32_t hi) {
        if (isStrip(lo, hi)) {
            sortStripInTurnedOrder(lo, hi);
            return;
        }
        const std::uint32_t mid = lo + (hi - lo) / 2;
        arrange(lo, mid);
        arrange(mid, hi);
    }

    // A strip is a run of the sites in their sort order (ascending x).
    // Reversed, it is in descending x; a stable radix sort by y then gives
    // the turned order (ascending y, ties by descending x).
    void sortStripInTurnedOrder(std::uint32_t lo, std::uint32_t hi) {
        Vertex* const first = m_vertices + lo;
        Vertex* const last = m_vertices + hi;
        std::reverse(first, last);
        m_sortBuffer.resize(hi - lo);
        radixSortByKey(
            first, last, m_sortBuffer.data(), [](const Vertex& v) { return sortKey(v.y); },
            8 * static_cast<int>(sizeof(Coordinate)));
    }

    // Vertical cuts down to the strips; the hull edges are those of the sort
    // order.
    Hull build(std::uint32_t lo, std::uint32_t hi) {
        if (isStrip(lo, hi)) {
            return inSortOrder(buildStrip(lo, hi));
        }
        const std::uint32_t mid = lo + (hi - lo) / 2;
        const Hull left = build(lo, mid);
        const Hull right = build(mid, hi);
        return DivideAndConquerSteps::merge(m_mesh, left, right);
    }

    // Horizontal cuts within a strip; the hull edges are those of the turned
    // order.
    Hull buildStrip(std::uint32_t lo, std::uint32_t hi) {
        if (hi - lo == 2) {
            return DivideAndConquerSteps::triangulateTwo(m_mesh, lo, lo + 1);
        }
        if (hi - lo == 3) {
            return DivideAndConquerSteps::triangulateThree(m_mesh, lo, lo + 1, lo + 2);
        }
        const std::uint32_t mid = lo + (hi - lo) / 2;
        const Hull lower = buildStrip(lo, mid);
        const Hull upper = buildStrip(mid, hi);
        return DivideAndConquerSteps::merge(m_mesh, lower, upper);
    }

    // The hull edges of the same sub-triangulation in the sort order of the
    // sites: walks once around its outer face (a collinear chain is walked out
    // and back) and picks the edges at the first and the last site.
    Hull inSortOrder(Hull hull) const {
        const auto vertex = [this](std::uint32_t v) -> const Vertex& { return m_vertices[v]; };
        Record first = hull.le;
        Record intoLast = hull.le;
        Record e = hull.le;
        do {
            if (precedes(vertex(m_edges.org(e)), vertex(m_edges.org(first)))) {
                first = e;
            }
            if (precedes(vertex(m_edges.dest(intoLast)), vertex(m_edges.dest(e)))) {
                intoLast = e;
            }
            e = m_edges.rprev(e);
        } while (e != hull.le);
        return {first, CompactSubdivision::sym(intoLast)};
    }

    Vertex* m_vertices;
    Mesh& m_mesh;
    const CompactSubdivision& m_edges;
    std::uint32_t m_stripSites;
    std::vector<Vertex> m_sortBuffer;
};

} // namespace

template <typename Coordinate, Cocircular policy>
bool buildWithStrips(PageArray<CompactVertex<Coordinate>>& vertices,
                     CompactTriangulation<Coordinate>& result, unsigned threads) {
    static_assert(policy != Cocircular::NotInside, "strips cannot reproduce that tie rule");
    using Unit = StripUnit<Coordinate, policy>;
    using Mesh = typename Unit::Mesh;
    const std::size_t n = vertices.size();
    const std::uint32_t strip = stripSites(n);
    CompactTriangulation<Coordinate> built;
    built.edges = CompactSubdivision(quadCapacity(n));
    // Once one unit meets cocircular sites the whole build is declined: the
    // units not started yet are not built.
    std::atomic<bool> declined{false};
    auto build = unitBuild<policy>(
        built.edges, vertices.data(), n,
        [&vertices, &built, &declined, strip](Mesh& mesh, std::uint32_t lo, std::uint32_t hi) {
            if (declined) {
                throw NotUnique();
            }
            try {
                return Unit(vertices.data(), mesh, built.edges, strip).run(lo, hi);
            } catch (const NotUnique&) {
                declined = true;
                throw;
            }
        });
    try {
        const auto hull = build.build(0, static_cast<std::uint32_t>(n), threads, built.region);
        built.first = hull.le;
        built.last = hull.re;
    } catch (const NotUnique&) {
        return false;
    }
    built.region.markUnusedFree(built.edges);
    built.vertices = std::move(vertices);
    // Under the canonical rule the sites have exactly one triangulation, which
    // any order of cuts finds: nothing to prove.
    if (policy == Cocircular::Decline && !isStrictlyDelaunay(built, threads)) {
        vertices = std::move(built.vertices);
        return false;
    }
    result = std::move(built);
    return true;
}

#define EDGEALGEBRA_INSTANTIATE(Coordinate)                                                        \
    template bool buildWithStrips<Coordinate, Cocircular::Decline>(                                \
        PageArray<CompactVertex<Coordinate>>&, CompactTriangulation<Coordinate>&, unsigned);       \
    template bool buildWithStrips<Coordinate, Cocircular::Canonical>(                              \
        PageArray<CompactVertex<Coordinate>>&, CompactTriangulation<Coordinate>&, unsigned);
EDGEALGEBRA_INSTANTIATE(float)
EDGEALGEBRA_INSTANTIATE(double)
#undef EDGEALGEBRA_INSTANTIATE

} // namespace CompactConstruction
} // namespace EdgeAlgebra
