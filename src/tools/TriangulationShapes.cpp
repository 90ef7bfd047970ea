#include "TriangulationShapes.h"

#include "scene/Circle.h"

#include <edgealgebra/Circumcenter.h>
#include <edgealgebra/KeepEnclosed.h>
#include <edgealgebra/Triangulate.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

namespace TessaroTools {

namespace {

using EdgeAlgebra::kNone;

// The rank of each site among the distinct sites in x-then-y order;
// coincident sites share one. Shapes name their corners by rank, so they
// are ordered by coordinates at the price of integer comparisons.
class SiteRanks {
public:
    explicit SiteRanks(const std::vector<double>& coords) : m_rank(coords.size() / 2) {
        struct Entry {
            double x, y;
            std::uint32_t site;
        };
        std::vector<Entry> sorted(m_rank.size());
        for (std::uint32_t i = 0; i < sorted.size(); ++i) {
            sorted[i] = {coords[2 * std::size_t{i}], coords[2 * std::size_t{i} + 1], i};
        }
        // Ties by index: of coincident sites (0 and -0 coincide too) the one
        // with the lowest index, the one the core keeps, gives the rank its
        // coordinates.
        std::sort(sorted.begin(), sorted.end(), [](const Entry& a, const Entry& b) {
            return a.x != b.x ? a.x < b.x : a.y != b.y ? a.y < b.y : a.site < b.site;
        });
        for (const Entry& entry : sorted) {
            if (m_distinct.empty() || entry.x != m_distinct.back().x ||
                entry.y != m_distinct.back().y) {
                m_distinct.push_back({entry.x, entry.y});
            }
            m_rank[entry.site] = static_cast<std::uint32_t>(m_distinct.size() - 1);
        }
    }

    std::uint32_t of(std::uint32_t site) const { return m_rank[site]; }
    std::uint32_t distinctCount() const { return static_cast<std::uint32_t>(m_distinct.size()); }
    // The distinct sites in rank order.
    std::vector<Position> takeDistinct() { return std::move(m_distinct); }

private:
    std::vector<std::uint32_t> m_rank;
    std::vector<Position> m_distinct;
};

// Whether the program draws the edge between the sites of ranks i < j from i
// to j, among m distinct sites. The program's divide and conquer halves the
// ranks [lo, hi) at lo + (hi - lo) / 2 until at most three sites are left in
// a leaf. In a leaf of two or three sites the edges s1->s2 and s2->s3 run
// forwards, and the closing edge of a triangle runs s3->s1; every edge
// between two leaves is made by a merge, which runs it from the later site
// to the earlier. So the edge runs from i to j only when j == i + 1 and both
// lie in one leaf.
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

// The edge between the sites of ranks a and b, as the program draws it.
Edge drawnEdge(std::uint32_t a, std::uint32_t b, std::uint32_t distinct, bool segment) {
    if (b < a) {
        std::swap(a, b);
    }
    return drawnForwards(a, b, distinct) ? Edge{a, b, segment} : Edge{b, a, segment};
}

bool comesBefore(const Edge& a, const Edge& b) {
    return a.from != b.from ? a.from < b.from : a.to < b.to;
}

// Each undirected edge once, from the half-edge of a pair with the lower
// number or from the boundary; each triangle starting at its first corner
// in rank order (its first two corners identify it, as no other triangle has
// that counterclockwise edge). Sites on one line give only the chain along
// them. Both sorted, so that the same sites always give the same text.
void collectShapes(const EdgeAlgebra::Triangulation& t, const SiteRanks& ranks,
                   TriangulationShapes& shapes) {
    const std::uint32_t distinct = ranks.distinctCount();
    // Each interior edge has two half-edges, each boundary edge one.
    const std::size_t boundary =
        static_cast<std::size_t>(std::count(t.halfedges.begin(), t.halfedges.end(), kNone));
    shapes.edges.reserve((t.triangles.size() + boundary) / 2);
    shapes.triangles.reserve(t.triangles.size() / 3);
    for (std::uint32_t e = 0; e < t.triangles.size(); ++e) {
        if (t.halfedges[e] == kNone || e < t.halfedges[e]) {
            const bool segment = !t.constrained.empty() && t.constrained[e] != 0;
            shapes.edges.push_back(drawnEdge(ranks.of(t.triangles[e]),
                                             ranks.of(t.triangles[EdgeAlgebra::nextHalfedge(e)]),
                                             distinct, segment));
        }
        if (e % 3 == 0) {
            Triangle corners{ranks.of(t.triangles[e]), ranks.of(t.triangles[e + 1]),
                             ranks.of(t.triangles[e + 2])};
            std::rotate(corners.begin(), std::min_element(corners.begin(), corners.end()),
                        corners.end());
            shapes.triangles.push_back(corners);
        }
    }
    if (t.triangles.empty()) {
        for (std::size_t k = 1; k < t.hull.size(); ++k) {
            shapes.edges.push_back(
                drawnEdge(ranks.of(t.hull[k - 1]), ranks.of(t.hull[k]), distinct, false));
        }
    }
    std::sort(shapes.edges.begin(), shapes.edges.end(), comesBefore);
    std::sort(shapes.triangles.begin(), shapes.triangles.end(),
              [](const Triangle& a, const Triangle& b) {
                  return a[0] != b[0] ? a[0] < b[0] : a[1] < b[1];
              });
}

// The program computes a triangle's circle once per edge, from that edge's
// record: its origin, its destination, then the opposite corner, so its
// three copies may differ in the last bits. The copy kept is that of the
// edge whose ends, in the direction drawn, come first in rank order.
Circle programsCircle(const Triangle& corners, const std::vector<Position>& sites) {
    const std::uint32_t distinct = static_cast<std::uint32_t>(sites.size());
    std::size_t chosen = 0;
    std::array<Edge, 3> edges;
    for (std::size_t k = 0; k < 3; ++k) {
        edges[k] = drawnEdge(corners[k], corners[(k + 1) % 3], distinct, false);
        if (comesBefore(edges[k], edges[chosen])) {
            chosen = k;
        }
    }
    const auto point = [&sites](std::uint32_t rank) {
        return DelaunayTest::Point(static_cast<float>(sites[rank].x),
                                   static_cast<float>(sites[rank].y));
    };
    const DelaunayTest::Circle circle(point(edges[chosen].from), point(edges[chosen].to),
                                      point(corners[(chosen + 2) % 3]));
    return Circle{{circle.center.x, circle.center.y}, circle.radius};
}

// The circle through a triangle's corners in double precision, its centre
// solved relative to the first corner, its radius the distance to that
// corner.
Circle doubleCircle(const Triangle& corners, const std::vector<Position>& sites) {
    const Position a = sites[corners[0]], b = sites[corners[1]], c = sites[corners[2]];
    const std::array<double, 2> center = EdgeAlgebra::circumcenter(a.x, a.y, b.x, b.y, c.x, c.y);
    return Circle{{center[0], center[1]}, std::hypot(center[0] - a.x, center[1] - a.y)};
}

// Triangulates the input in the given precision and collects its shapes,
// then, with a box, its sites' Voronoi cells from their Delaunay
// triangulation (without the segments, which the Voronoi diagram of points
// knows nothing of).
template <typename Coordinate>
void triangulateInto(const PlanarInput& input, const std::optional<EdgeAlgebra::Box>& voronoiBox,
                     TriangulationShapes& shapes) {
    std::vector<Coordinate> coords(input.coords.begin(), input.coords.end());
    EdgeAlgebra::Triangulation t;
    if (input.segments.empty()) {
        t = EdgeAlgebra::triangulate(coords);
    } else {
        t = EdgeAlgebra::triangulate(coords, input.segments);
        EdgeAlgebra::keepEnclosed(t, coords,
                                  std::vector<Coordinate>(input.holes.begin(), input.holes.end()));
    }
    {
        SiteRanks ranks(input.coords);
        collectShapes(t, ranks, shapes);
        shapes.sites = ranks.takeDistinct();
    }
    if (!voronoiBox) {
        return;
    }
    if (!input.segments.empty()) {
        t = EdgeAlgebra::triangulate(coords);
    }
    const EdgeAlgebra::Voronoi voronoi(std::move(t), std::move(coords), *voronoiBox);
    for (std::size_t i = 0; i < input.coords.size() / 2; ++i) {
        std::vector<std::array<double, 2>> corners = voronoi.cell(i);
        if (!corners.empty()) {
            shapes.cells.push_back({i, std::move(corners)});
        }
    }
}

} // namespace

TriangulationShapes triangulateSites(const PlanarInput& input, Precision precision,
                                     const std::optional<EdgeAlgebra::Box>& voronoiBox) {
    const std::size_t count = input.coords.size() / 2;
    if (count < 2) {
        throw std::invalid_argument("triangulateSites needs at least two sites");
    }
    if (count > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("triangulateSites takes at most 2^32 - 1 sites");
    }
    TriangulationShapes shapes;
    shapes.precision = precision;
    if (precision == Precision::Float) {
        triangulateInto<float>(input, voronoiBox, shapes);
    } else {
        triangulateInto<double>(input, voronoiBox, shapes);
    }
    shapes.circles.reserve(shapes.triangles.size());
    for (const Triangle& corners : shapes.triangles) {
        shapes.circles.push_back(precision == Precision::Float
                                     ? programsCircle(corners, shapes.sites)
                                     : doubleCircle(corners, shapes.sites));
    }
    return shapes;
}

TriangulationShapes meshShapes(const EdgeAlgebra::Mesh& mesh) {
    TriangulationShapes shapes;
    shapes.circlesInPicture = false;
    {
        SiteRanks ranks(mesh.coords);
        collectShapes(mesh.triangulation, ranks, shapes);
        shapes.sites = ranks.takeDistinct();
    }
    shapes.circles.reserve(shapes.triangles.size());
    for (const Triangle& corners : shapes.triangles) {
        shapes.circles.push_back(doubleCircle(corners, shapes.sites));
    }
    return shapes;
}

} // namespace TessaroTools
