// The Triangulate command: the scene's sites through the triangulation core,
// and the resulting edges and triangles turned into drawable lines and circles.
#include "scene/Scene.h"

#include "edgealgebra/DelaunayTriangulation.h"
#include "edgealgebra/EdgeWalker.h"
#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/Site.h"

#include <algorithm>
#include <vector>

namespace DelaunayTest {

namespace {

// Owns the sites handed to the triangulator and deletes them when it goes out
// of scope, also when an allocation fails partway through the command.
class SiteList {
public:
    SiteList() = default;
    ~SiteList() {
        for (EdgeAlgebra::Site* site : m_sites) {
            delete site;
        }
    }
    SiteList(const SiteList&) = delete;
    SiteList& operator=(const SiteList&) = delete;

    // Copies the points in their order. The vector's room is reserved first,
    // so no push_back can throw while a fresh site is not yet owned.
    void copyFrom(const std::vector<Point>& points) {
        m_sites.reserve(points.size());
        for (const Point& p : points) {
            m_sites.push_back(new EdgeAlgebra::Site(p.x, p.y));
        }
    }

    std::vector<EdgeAlgebra::Site*>& get() { return m_sites; }

private:
    std::vector<EdgeAlgebra::Site*> m_sites;
};

Point pointOf(const EdgeAlgebra::Site* site) {
    return Point(site->x, site->y);
}

} // namespace

void Scene::buildTriangulation() {
    // Declared first, so destroyed last: the sites outlive every quad-edge
    // that points at them.
    SiteList sites;
    sites.copyFrom(m_points);
    std::sort(sites.get().begin(), sites.get().end(), EdgeAlgebra::siteLess);

    EdgeAlgebra::DelaunayTriangulation delaunayTriangulation(sites.get());
    EdgeAlgebra::EdgeWalker walker(delaunayTriangulation.getLeftEdge());
    EdgeMap triangulationEdges = walker.getEdges();

    buildLines(triangulationEdges);
    buildCircles(triangulationEdges);
}

void Scene::buildLines(EdgeMap& edges) {
    for (auto it = edges.begin(), itEnd = edges.end(); it != itEnd; ++it) {
        const EdgeAlgebra::QuadEdge* e = it->first;
        m_lines.emplace_back(pointOf(e->org()), pointOf(e->dest()));
    }
}

// Each key is tested for a triangle on either side. A face walk that closes
// after three steps is not enough: it also closes around the outer face of a
// three-site hull and at the dead ends of a collinear chain. A face counts only
// when its three sites turn strictly counterclockwise with the face on the
// key's left, strictly clockwise with it on the right, i.e. when it is a
// bounded triangle. Each triangle is found once from each of its edges.
void Scene::buildCircles(EdgeMap& edges) {
    for (auto it = edges.begin(), itEnd = edges.end(); it != itEnd; ++it) {
        EdgeAlgebra::QuadEdge* e = it->first;

        EdgeAlgebra::QuadEdge* s = e->rprev();
        if (s->rprev()->rprev()->canonical() == e && e->org()->ccw(s->dest(), e->dest())) {
            addCircumcircle(e, s);
        }

        EdgeAlgebra::QuadEdge* t = e->lnext();
        if (t->lnext()->lnext()->canonical() == e && e->org()->ccw(e->dest(), t->dest())) {
            addCircumcircle(e, t);
        }
    }
}

void Scene::addCircumcircle(EdgeAlgebra::QuadEdge* e, EdgeAlgebra::QuadEdge* f) {
    const Point p1 = pointOf(e->org());
    const Point p2 = pointOf(e->dest());
    const Point p3 = pointOf(f->dest());
    m_circles.emplace_back(p1, p2, p3);
}

} // namespace DelaunayTest
