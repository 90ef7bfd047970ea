#include "TriangulationShapes.h"

#include <edgealgebra/Site.h>
#include <edgealgebra/SortSites.h>
#include <edgealgebra/Triangulate.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <tuple>
#include <utility>

namespace TessaroTools {

namespace {

using DelaunayTest::Point;
using EdgeAlgebra::kNone;

// The rank of each site among the distinct sites in siteLess order, that is
// by x and then by y; coincident sites share one. Shapes are ordered by the
// ranks of their corners: the same order as by coordinates, at the price of
// one integer comparison.
class SiteRanks {
public:
    explicit SiteRanks(const std::vector<Point>& points) : m_rank(points.size()) {
        std::vector<EdgeAlgebra::Site> storage;
        storage.reserve(points.size());
        for (const Point& p : points) {
            storage.emplace_back(p.x, p.y);
        }
        std::vector<EdgeAlgebra::Site*> sorted;
        sorted.reserve(storage.size());
        for (EdgeAlgebra::Site& site : storage) {
            sorted.push_back(&site);
        }
        // Stable: the first of coincident sites is the one with the lowest
        // index, the one the core keeps.
        EdgeAlgebra::sortSites(sorted);
        const EdgeAlgebra::Site* previous = nullptr;
        for (const EdgeAlgebra::Site* site : sorted) {
            if (previous == nullptr || site->x != previous->x || site->y != previous->y) {
                m_first.push_back(static_cast<std::uint32_t>(site - storage.data()));
            }
            m_rank[static_cast<std::size_t>(site - storage.data())] =
                static_cast<std::uint32_t>(m_first.size() - 1);
            previous = site;
        }
    }

    std::uint32_t of(std::uint32_t site) const { return m_rank[site]; }
    // Orders pairs of sites: first by the first, then by the second.
    std::uint64_t pairKey(std::uint32_t first, std::uint32_t second) const {
        return std::uint64_t{of(first)} << 32 | of(second);
    }
    std::uint32_t distinctCount() const { return static_cast<std::uint32_t>(m_first.size()); }
    // The first site of each rank, in rank order.
    const std::vector<std::uint32_t>& firstSites() const { return m_first; }

private:
    std::vector<std::uint32_t> m_rank;
    std::vector<std::uint32_t> m_first;
};

// The direction in which the program draws an edge, from the ranks i < j of
// its ends among m distinct sites. The program's divide and conquer halves
// the ranks [lo, hi) at lo + (hi - lo) / 2 until at most three sites are
// left in a leaf. In a leaf of two or three sites the edges s1->s2 and
// s2->s3 run forwards, and the closing edge of a triangle runs s3->s1; every
// edge between two leaves is made by a merge, which runs it from the later
// site to the earlier. So the edge runs from i to j only when j == i + 1 and
// both lie in one leaf.
bool drawnForwards(std::uint32_t i, std::uint32_t j, std::uint32_t m) {
    if (j != i + 1) {
        return false;
    }
    std::uint32_t lo = 0, hi = m;
    while (hi - lo > 3) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        if (i < mid && mid <= j) {
            return false;
        }
        (j < mid ? hi : lo) = mid;
    }
    return true;
}

struct RankedEdge {
    std::uint64_t key;
    DelaunayTest::Line line;
};

struct RankedTriangle {
    std::uint64_t key;
    Triangle triangle;
    DelaunayTest::Circle circle;
};

template <typename Ranked>
void sortByKey(std::vector<Ranked>& items) {
    std::sort(items.begin(), items.end(),
              [](const Ranked& a, const Ranked& b) { return a.key < b.key; });
}

class ShapeCollector {
public:
    ShapeCollector(const std::vector<Point>& points, const SiteRanks& ranks,
                   const EdgeAlgebra::Triangulation& t)
        : m_points(points), m_ranks(ranks) {
        // Each interior edge has two half-edges, each hull edge one.
        m_edges.reserve((t.triangles.size() + t.hull.size()) / 2);
        m_triangles.reserve(t.triangles.size() / 3);
    }

    // The edge between sites a and b, drawn as the program draws it.
    void addEdge(std::uint32_t a, std::uint32_t b) {
        const DrawnEdge edge = drawn(a, b);
        m_edges.push_back({m_ranks.pairKey(edge.from, edge.to),
                           DelaunayTest::Line(m_points[edge.from], m_points[edge.to])});
    }

    // The triangle a, b, c (counterclockwise), starting at its first corner
    // in site order: its first two corners identify it, as no other
    // triangle has that counterclockwise edge.
    void addTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        while (m_ranks.of(b) < m_ranks.of(a) || m_ranks.of(c) < m_ranks.of(a)) {
            std::tie(a, b, c) = std::make_tuple(b, c, a);
        }
        m_triangles.push_back({m_ranks.pairKey(a, b),
                               Triangle{m_points[a], m_points[b], m_points[c]}, circle(a, b, c)});
    }

    // Edges and triangles in site order, so that the same sites always give
    // the same text.
    void moveInto(TriangulationShapes& shapes) {
        sortByKey(m_edges);
        sortByKey(m_triangles);
        shapes.edges.reserve(m_edges.size());
        for (const RankedEdge& edge : m_edges) {
            shapes.edges.push_back(edge.line);
        }
        shapes.triangles.reserve(m_triangles.size());
        shapes.circles.reserve(m_triangles.size());
        for (const RankedTriangle& item : m_triangles) {
            shapes.triangles.push_back(item.triangle);
            shapes.circles.push_back(item.circle);
        }
    }

private:
    struct DrawnEdge {
        std::uint32_t from, to;
    };

    DrawnEdge drawn(std::uint32_t a, std::uint32_t b) const {
        if (m_ranks.of(b) < m_ranks.of(a)) {
            std::swap(a, b);
        }
        if (drawnForwards(m_ranks.of(a), m_ranks.of(b), m_ranks.distinctCount())) {
            return {a, b};
        }
        return {b, a};
    }

    // The program computes a triangle's circle once per edge, from that
    // edge's record: its origin, its destination, then the opposite corner,
    // so its three copies may differ in the last bits. The copy kept is that
    // of the edge whose ends, in the direction drawn, come first in site
    // order.
    DelaunayTest::Circle circle(std::uint32_t a, std::uint32_t b, std::uint32_t c) const {
        const std::array<DrawnEdge, 3> edges{drawn(a, b), drawn(b, c), drawn(c, a)};
        const std::array<std::uint32_t, 3> opposite{c, a, b};
        std::size_t chosen = 0;
        for (std::size_t k = 1; k < 3; ++k) {
            if (m_ranks.pairKey(edges[k].from, edges[k].to) <
                m_ranks.pairKey(edges[chosen].from, edges[chosen].to)) {
                chosen = k;
            }
        }
        return DelaunayTest::Circle(m_points[edges[chosen].from], m_points[edges[chosen].to],
                                    m_points[opposite[chosen]]);
    }

    const std::vector<Point>& m_points;
    const SiteRanks& m_ranks;
    std::vector<RankedEdge> m_edges;
    std::vector<RankedTriangle> m_triangles;
};

std::size_t nextHalfedge(std::size_t e) {
    return e % 3 == 2 ? e - 2 : e + 1;
}

// Each undirected edge once: from the half-edge of a pair with the lower
// number, or from the hull; sites on one line give only the chain along it.
void collectShapes(const EdgeAlgebra::Triangulation& t, ShapeCollector& collector) {
    for (std::size_t e = 0; e < t.triangles.size(); ++e) {
        if (t.halfedges[e] == kNone || e < t.halfedges[e]) {
            collector.addEdge(t.triangles[e], t.triangles[nextHalfedge(e)]);
        }
        if (e % 3 == 0) {
            collector.addTriangle(t.triangles[e], t.triangles[e + 1], t.triangles[e + 2]);
        }
    }
    if (t.triangles.empty()) {
        for (std::size_t k = 1; k < t.hull.size(); ++k) {
            collector.addEdge(t.hull[k - 1], t.hull[k]);
        }
    }
}

void collectCells(EdgeAlgebra::Voronoi voronoi, std::size_t siteCount,
                  std::vector<VoronoiCell>& cells) {
    for (std::size_t i = 0; i < siteCount; ++i) {
        std::vector<std::array<double, 2>> corners = voronoi.cell(i);
        if (!corners.empty()) {
            cells.push_back({i, std::move(corners)});
        }
    }
}

} // namespace

TriangulationShapes triangulateSites(const std::vector<Point>& points,
                                     const std::optional<EdgeAlgebra::Box>& voronoiBox) {
    if (points.size() < 2) {
        throw std::invalid_argument("triangulateSites needs at least two sites");
    }
    if (points.size() > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("triangulateSites takes at most 2^32 - 1 sites");
    }
    std::vector<float> coords;
    coords.reserve(2 * points.size());
    for (const Point& p : points) {
        coords.push_back(p.x);
        coords.push_back(p.y);
    }
    EdgeAlgebra::Triangulation triangulation = EdgeAlgebra::triangulate(coords);

    TriangulationShapes shapes;
    {
        const SiteRanks ranks(points);
        shapes.sites.reserve(ranks.distinctCount());
        for (const std::uint32_t site : ranks.firstSites()) {
            shapes.sites.push_back(points[site]);
        }
        ShapeCollector collector(points, ranks, triangulation);
        collectShapes(triangulation, collector);
        collector.moveInto(shapes);
    }
    if (voronoiBox) {
        collectCells(EdgeAlgebra::Voronoi(std::move(triangulation), std::move(coords), *voronoiBox),
                     points.size(), shapes.cells);
    }
    return shapes;
}

} // namespace TessaroTools
