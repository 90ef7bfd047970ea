#include "TriangulationShapes.h"

#include <edgealgebra/DelaunayTriangulation.h>
#include <edgealgebra/EdgeWalker.h>
#include <edgealgebra/QuadEdge.h>
#include <edgealgebra/Site.h>
#include <edgealgebra/SortSites.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <stdexcept>
#include <tuple>

namespace TessaroTools {

namespace {

using DelaunayTest::Point;
using EdgeAlgebra::QuadEdge;
using EdgeAlgebra::Site;
using EdgeMap = std::map<QuadEdge*, char>;

Point toPoint(const Site* site) {
    return Point(site->x, site->y);
}

// The position of each site in siteLess order, that is by x and then by y.
// Shapes are ordered by the ranks of their corners: the same order as by
// coordinates, at the price of one integer comparison.
class SiteRanks {
public:
    SiteRanks(const std::vector<Site>& storage, const std::vector<Site*>& sorted)
        : m_base(storage.data()), m_rank(storage.size()) {
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            m_rank[static_cast<std::size_t>(sorted[i] - m_base)] = static_cast<std::uint32_t>(i);
        }
    }

    std::uint64_t of(const Site* site) const {
        return m_rank[static_cast<std::size_t>(site - m_base)];
    }
    // Orders pairs of sites: first by the first, then by the second.
    std::uint64_t pairKey(const Site* first, const Site* second) const {
        return of(first) << 32 | of(second);
    }

private:
    const Site* m_base;
    std::vector<std::uint32_t> m_rank;
};

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

// The three edges of a face, each with the corner opposite it.
struct Face {
    std::array<QuadEdge*, 3> edges;
    std::array<Site*, 3> opposite;
};

// True when `key` is the smallest of the face's canonical records. Every
// triangle is met from each of its three edges; only its smallest key
// reports it, so it is reported once.
bool reportedByKey(QuadEdge* key, const Face& face) {
    const std::less<QuadEdge*> less;
    return less(key, face.edges[1]->canonical()) && less(key, face.edges[2]->canonical());
}

// The program keeps three copies of a triangle's circle, one per edge, each
// computed from that edge's canonical record: its origin, its destination,
// then the opposite corner. The copy kept here is that of the record whose
// ends come first in site order, so that the result does not depend on where
// the records happen to lie in memory.
DelaunayTest::Circle circleOf(const Face& face, const SiteRanks& ranks) {
    std::size_t chosen = 0;
    for (std::size_t i = 1; i < 3; ++i) {
        const QuadEdge* a = face.edges[i]->canonical();
        const QuadEdge* b = face.edges[chosen]->canonical();
        if (ranks.pairKey(a->org(), a->dest()) < ranks.pairKey(b->org(), b->dest())) {
            chosen = i;
        }
    }
    const QuadEdge* record = face.edges[chosen]->canonical();
    return DelaunayTest::Circle(toPoint(record->org()), toPoint(record->dest()),
                                toPoint(face.opposite[chosen]));
}

// The triangle a, b, c (counterclockwise), starting at its first corner in
// site order. Its first two corners identify it: no other triangle has that
// counterclockwise edge.
RankedTriangle rankedTriangle(const Site* a, const Site* b, const Site* c, const SiteRanks& ranks,
                              const DelaunayTest::Circle& circle) {
    while (ranks.of(b) < ranks.of(a) || ranks.of(c) < ranks.of(a)) {
        std::tie(a, b, c) = std::make_tuple(b, c, a);
    }
    return RankedTriangle{ranks.pairKey(a, b), Triangle{toPoint(a), toPoint(b), toPoint(c)},
                          circle};
}

// The face on the left of `key` is a bounded triangle when the walk along it
// closes after three edges and its corners turn strictly counterclockwise.
void addLeftFace(std::vector<RankedTriangle>& found, QuadEdge* key, const SiteRanks& ranks) {
    QuadEdge* t = key->lnext();
    QuadEdge* u = t->lnext();
    if (u->lnext()->canonical() != key) {
        return;
    }
    const Face face{{key, t, u}, {t->dest(), u->dest(), key->dest()}};
    if (reportedByKey(key, face) && key->org()->ccw(key->dest(), t->dest())) {
        found.push_back(
            rankedTriangle(key->org(), key->dest(), t->dest(), ranks, circleOf(face, ranks)));
    }
}

// The face on the right of `key`: its corners key.org, key.dest, s.dest turn
// strictly clockwise when it is a bounded triangle.
void addRightFace(std::vector<RankedTriangle>& found, QuadEdge* key, const SiteRanks& ranks) {
    QuadEdge* s = key->rprev();
    QuadEdge* u = s->rprev();
    if (u->rprev()->canonical() != key) {
        return;
    }
    const Face face{{key, s, u}, {s->dest(), u->dest(), key->dest()}};
    if (reportedByKey(key, face) && key->org()->ccw(s->dest(), key->dest())) {
        found.push_back(
            rankedTriangle(key->org(), s->dest(), key->dest(), ranks, circleOf(face, ranks)));
    }
}

// Edges and triangles in site order, so that the same sites always give the
// same text.
void collectShapes(const EdgeMap& edges, const SiteRanks& ranks, TriangulationShapes& shapes) {
    std::vector<RankedEdge> rankedEdges;
    rankedEdges.reserve(edges.size());
    // A triangulation has fewer triangles than edges.
    std::vector<RankedTriangle> rankedTriangles;
    rankedTriangles.reserve(edges.size());
    for (const auto& entry : edges) {
        QuadEdge* key = entry.first;
        rankedEdges.push_back({ranks.pairKey(key->org(), key->dest()),
                               DelaunayTest::Line(toPoint(key->org()), toPoint(key->dest()))});
        addLeftFace(rankedTriangles, key, ranks);
        addRightFace(rankedTriangles, key, ranks);
    }
    sortByKey(rankedEdges);
    sortByKey(rankedTriangles);
    shapes.edges.reserve(rankedEdges.size());
    for (const RankedEdge& edge : rankedEdges) {
        shapes.edges.push_back(edge.line);
    }
    shapes.triangles.reserve(rankedTriangles.size());
    shapes.circles.reserve(rankedTriangles.size());
    for (const RankedTriangle& item : rankedTriangles) {
        shapes.triangles.push_back(item.triangle);
        shapes.circles.push_back(item.circle);
    }
}

} // namespace

TriangulationShapes triangulateSites(const std::vector<Point>& points) {
    if (points.size() < 2) {
        throw std::invalid_argument("triangulateSites needs at least two sites");
    }
    if (points.size() > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("triangulateSites takes at most 2^32 - 1 sites");
    }
    TriangulationShapes shapes;
    shapes.sites = points;

    // The sites live in one vector that outlives the triangulator; only the
    // pointers are sorted.
    std::vector<Site> storage;
    storage.reserve(points.size());
    for (const Point& p : points) {
        storage.emplace_back(p.x, p.y);
    }
    std::vector<Site*> sorted;
    sorted.reserve(storage.size());
    for (Site& site : storage) {
        sorted.push_back(&site);
    }
    EdgeAlgebra::sortSites(sorted);
    const SiteRanks ranks(storage, sorted);

    EdgeAlgebra::DelaunayTriangulation triangulation(sorted);
    EdgeAlgebra::EdgeWalker walker(triangulation.getLeftEdge());
    collectShapes(walker.getEdges(), ranks, shapes);
    return shapes;
}

} // namespace TessaroTools
