#include "TriangulationShapes.h"

#include <edgealgebra/DelaunayTriangulation.h>
#include <edgealgebra/EdgeWalker.h>
#include <edgealgebra/QuadEdge.h>
#include <edgealgebra/Site.h>

#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>

namespace TessaroTools {

namespace {

using EdgeAlgebra::QuadEdge;
using EdgeAlgebra::Site;
using EdgeMap = std::map<QuadEdge*, char>;

DelaunayTest::Point toPoint(const Site* site) {
    return DelaunayTest::Point(site->x, site->y);
}

// True when `key` is the smallest of the canonical records of a face's three
// edges. Every bounded triangle is seen from each of its three edges; only
// its smallest key reports it, so it is reported once.
bool isSmallestOfFace(QuadEdge* key, QuadEdge* second, QuadEdge* third) {
    const std::less<QuadEdge*> less;
    return less(key, second->canonical()) && less(key, third->canonical());
}

void addTriangle(TriangulationShapes& shapes, const Triangle& triangle,
                 const DelaunayTest::Circle& circle) {
    shapes.triangles.push_back(triangle);
    shapes.circles.push_back(circle);
}

// The face on the left of `key`, when it is a bounded triangle: the walk
// along it closes after three edges and its corners turn strictly
// counterclockwise. The circle is built from the same corner order as the
// program's, starting at the key's origin.
void addLeftTriangle(TriangulationShapes& shapes, QuadEdge* key) {
    QuadEdge* t = key->lnext();
    QuadEdge* u = t->lnext();
    if (u->lnext()->canonical() != key || !isSmallestOfFace(key, t, u)) {
        return;
    }
    Site* a = key->org();
    Site* b = key->dest();
    Site* c = t->dest();
    if (a->ccw(b, c)) {
        const DelaunayTest::Point pa = toPoint(a), pb = toPoint(b), pc = toPoint(c);
        addTriangle(shapes, Triangle{pa, pb, pc}, DelaunayTest::Circle(pa, pb, pc));
    }
}

// The face on the right of `key`: its corners key.org, key.dest, s.dest turn
// strictly clockwise when it is a bounded triangle.
void addRightTriangle(TriangulationShapes& shapes, QuadEdge* key) {
    QuadEdge* s = key->rprev();
    QuadEdge* u = s->rprev();
    if (u->rprev()->canonical() != key || !isSmallestOfFace(key, s, u)) {
        return;
    }
    Site* a = key->org();
    Site* b = key->dest();
    Site* c = s->dest();
    if (a->ccw(c, b)) {
        const DelaunayTest::Point pa = toPoint(a), pb = toPoint(b), pc = toPoint(c);
        addTriangle(shapes, Triangle{pa, pc, pb}, DelaunayTest::Circle(pa, pb, pc));
    }
}

void collectShapes(const EdgeMap& edges, TriangulationShapes& shapes) {
    shapes.edges.reserve(edges.size());
    for (const auto& entry : edges) {
        QuadEdge* key = entry.first;
        shapes.edges.emplace_back(toPoint(key->org()), toPoint(key->dest()));
        addLeftTriangle(shapes, key);
        addRightTriangle(shapes, key);
    }
}

} // namespace

TriangulationShapes triangulateSites(const std::vector<DelaunayTest::Point>& points) {
    if (points.size() < 2) {
        throw std::invalid_argument("triangulateSites needs at least two sites");
    }
    TriangulationShapes shapes;
    shapes.sites = points;

    // The sites live in one vector that outlives the triangulator; only the
    // pointers are sorted.
    std::vector<Site> storage;
    storage.reserve(points.size());
    for (const DelaunayTest::Point& p : points) {
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
