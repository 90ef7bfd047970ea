#include "TriangulationShapes.h"

#include <edgealgebra/DelaunayTriangulation.h>
#include <edgealgebra/EdgeWalker.h>
#include <edgealgebra/QuadEdge.h>
#include <edgealgebra/Site.h>

#include <algorithm>
#include <array>
#include <functional>
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

bool pointLess(const Point& a, const Point& b) {
    return std::tie(a.x, a.y) < std::tie(b.x, b.y);
}

bool lineLess(const DelaunayTest::Line& a, const DelaunayTest::Line& b) {
    return std::tie(a.start.x, a.start.y, a.end.x, a.end.y) <
           std::tie(b.start.x, b.start.y, b.end.x, b.end.y);
}

struct TriangleWithCircle {
    Triangle triangle;
    DelaunayTest::Circle circle;
};

bool triangleLess(const TriangleWithCircle& a, const TriangleWithCircle& b) {
    const Triangle& s = a.triangle;
    const Triangle& t = b.triangle;
    return std::tie(s.a.x, s.a.y, s.b.x, s.b.y, s.c.x, s.c.y) <
           std::tie(t.a.x, t.a.y, t.b.x, t.b.y, t.c.x, t.c.y);
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
// ends come first by coordinates, so that the result does not depend on
// where the records happen to lie in memory.
DelaunayTest::Circle circleOf(const Face& face) {
    std::size_t chosen = 0;
    for (std::size_t i = 1; i < 3; ++i) {
        const QuadEdge* a = face.edges[i]->canonical();
        const QuadEdge* b = face.edges[chosen]->canonical();
        if (std::make_tuple(a->org()->x, a->org()->y, a->dest()->x, a->dest()->y) <
            std::make_tuple(b->org()->x, b->org()->y, b->dest()->x, b->dest()->y)) {
            chosen = i;
        }
    }
    const QuadEdge* record = face.edges[chosen]->canonical();
    return DelaunayTest::Circle(toPoint(record->org()), toPoint(record->dest()),
                                toPoint(face.opposite[chosen]));
}

// The corners counterclockwise, starting at the one that comes first by
// coordinates.
Triangle counterclockwiseFromFirst(Point a, Point b, Point c) {
    while (pointLess(b, a) || pointLess(c, a)) {
        std::tie(a, b, c) = std::make_tuple(b, c, a);
    }
    return Triangle{a, b, c};
}

// The face on the left of `key` is a bounded triangle when the walk along it
// closes after three edges and its corners turn strictly counterclockwise.
void addLeftFace(std::vector<TriangleWithCircle>& found, QuadEdge* key) {
    QuadEdge* t = key->lnext();
    QuadEdge* u = t->lnext();
    if (u->lnext()->canonical() != key) {
        return;
    }
    const Face face{{key, t, u}, {t->dest(), u->dest(), key->dest()}};
    if (reportedByKey(key, face) && key->org()->ccw(key->dest(), t->dest())) {
        found.push_back({counterclockwiseFromFirst(toPoint(key->org()), toPoint(key->dest()),
                                                   toPoint(t->dest())),
                         circleOf(face)});
    }
}

// The face on the right of `key`: its corners key.org, key.dest, s.dest turn
// strictly clockwise when it is a bounded triangle.
void addRightFace(std::vector<TriangleWithCircle>& found, QuadEdge* key) {
    QuadEdge* s = key->rprev();
    QuadEdge* u = s->rprev();
    if (u->rprev()->canonical() != key) {
        return;
    }
    const Face face{{key, s, u}, {s->dest(), u->dest(), key->dest()}};
    if (reportedByKey(key, face) && key->org()->ccw(s->dest(), key->dest())) {
        found.push_back({counterclockwiseFromFirst(toPoint(key->org()), toPoint(s->dest()),
                                                   toPoint(key->dest())),
                         circleOf(face)});
    }
}

// Edges and triangles in coordinate order, so that the same sites always give
// the same text.
void collectShapes(const EdgeMap& edges, TriangulationShapes& shapes) {
    // A triangulation has fewer triangles than edges.
    std::vector<TriangleWithCircle> found;
    found.reserve(edges.size());
    shapes.edges.reserve(edges.size());
    for (const auto& entry : edges) {
        QuadEdge* key = entry.first;
        shapes.edges.emplace_back(toPoint(key->org()), toPoint(key->dest()));
        addLeftFace(found, key);
        addRightFace(found, key);
    }
    std::sort(shapes.edges.begin(), shapes.edges.end(), lineLess);
    std::sort(found.begin(), found.end(), triangleLess);
    shapes.triangles.reserve(found.size());
    shapes.circles.reserve(found.size());
    for (const TriangleWithCircle& item : found) {
        shapes.triangles.push_back(item.triangle);
        shapes.circles.push_back(item.circle);
    }
}

} // namespace

TriangulationShapes triangulateSites(const std::vector<Point>& points) {
    if (points.size() < 2) {
        throw std::invalid_argument("triangulateSites needs at least two sites");
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
    std::sort(sorted.begin(), sorted.end(), EdgeAlgebra::siteLess);

    EdgeAlgebra::DelaunayTriangulation triangulation(sorted);
    EdgeAlgebra::EdgeWalker walker(triangulation.getLeftEdge());
    collectShapes(walker.getEdges(), shapes);
    return shapes;
}

} // namespace TessaroTools
