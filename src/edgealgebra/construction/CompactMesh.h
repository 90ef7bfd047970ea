#pragma once

#include "predicates/CanonicalInCircle.h"
#include "predicates/CoordinatePredicates.h"
#include "structure/CompactSubdivision.h"

#include <cstdint>

namespace EdgeAlgebra {

// A site as the compact builds see it: its coordinates (float or double),
// stored densely in the order the build visits them, and a number that the
// caller chose for it (its position in sorted order, or its index in the
// caller's input).
template <typename Coordinate>
struct CompactVertex {
    Coordinate x;
    Coordinate y;
    std::uint32_t site;
};

// What a compact build does when four distinct sites turn out exactly
// cocircular: stop (the fast build, which keeps only results it can prove
// unique, throws NotUnique), decide as Site::inCircle does (strictly inside
// only), as DelaunayTriangulation's construction with vertical cuts does
// everywhere, or break the tie by CanonicalInCircle, as the flat
// triangulate() does. NotInside makes the choice among the Delaunay
// triangulations of cocircular sites depend on the order of the merges, and so
// on which other sites are present; Canonical defines one triangulation by the
// sites' coordinates alone. The two differ only where four or more sites are
// exactly cocircular with no site inside their circle.
enum class Cocircular { Decline, NotInside, Canonical };

struct NotUnique {};

// Exact sign of the orientation of vertices a, b, c. The constructions spend
// most of their time in the two predicates: they are always inlined.
template <typename Coordinate>
[[gnu::always_inline]] inline int compactOrientation(const CompactVertex<Coordinate>* vertices,
                                                     std::uint32_t a, std::uint32_t b,
                                                     std::uint32_t c) {
    const CompactVertex<Coordinate>&va = vertices[a], &vb = vertices[b], &vc = vertices[c];
    return CoordinatePredicates<Coordinate>::orientation(va.x, va.y, vb.x, vb.y, vc.x, vc.y);
}

// Exact sign of the in-circle determinant of vertex d against vertices a, b,
// c (distinct).
template <typename Coordinate>
[[gnu::always_inline]] inline int compactInCircleSign(const CompactVertex<Coordinate>* vertices,
                                                      std::uint32_t a, std::uint32_t b,
                                                      std::uint32_t c, std::uint32_t d) {
    const CompactVertex<Coordinate>&va = vertices[a], &vb = vertices[b], &vc = vertices[c],
          &vd = vertices[d];
    return CoordinatePredicates<Coordinate>::inCircle(va.x, va.y, vb.x, vb.y, vc.x, vc.y, vd.x,
                                                      vd.y);
}

// The compact structure, one region of its quads and the exact predicates on
// its vertices, as the shared steps of the divide and conquer see them.
// Vertices are distinct sites, so equal indices are the only coincidence.
template <typename Coordinate, Cocircular policy>
class CompactMesh {
public:
    using Edge = CompactSubdivision::Record;
    using Vertex = std::uint32_t;

    CompactMesh(CompactSubdivision& edges, QuadRegion& region,
                const CompactVertex<Coordinate>* vertices)
        : m_edges(edges), m_region(region), m_vertices(vertices) {}

    static Edge sym(Edge e) { return CompactSubdivision::sym(e); }
    Edge onext(Edge e) const { return m_edges.onext(e); }
    Edge oprev(Edge e) const { return m_edges.oprev(e); }
    Edge lnext(Edge e) const { return m_edges.lnext(e); }
    Edge rprev(Edge e) const { return m_edges.rprev(e); }
    Edge lprev(Edge e) const { return m_edges.lprev(e); }
    Vertex org(Edge e) const { return m_edges.org(e); }
    Vertex dest(Edge e) const { return m_edges.dest(e); }

    Edge makeEdge(Vertex origin, Vertex destination) {
        return m_edges.makeEdge(m_region.take(m_edges), origin, destination);
    }
    void splice(Edge a, Edge b) { m_edges.splice(a, b); }
    // An edge from a's destination to b's origin, as QuadEdge::connect.
    Edge connect(Edge a, Edge b) {
        const Edge e = makeEdge(dest(a), org(b));
        m_edges.splice(e, lnext(a));
        m_edges.splice(sym(e), b);
        return e;
    }
    void removeEdge(Edge e) {
        m_edges.detach(e);
        m_region.give(m_edges, CompactSubdivision::quadOf(e));
    }

    // The predicates of Site, on vertex indices: the same exact decisions.
    bool ccw(Vertex a, Vertex b, Vertex c) const {
        if (a == b || a == c || b == c) {
            return false;
        }
        return compactOrientation(m_vertices, a, b, c) > 0;
    }

    // d inside the circle through a, b, c (counterclockwise): strictly, or
    // by the canonical tie-break.
    bool inCircle(Vertex d, Vertex a, Vertex b, Vertex c) const {
        if (d == a || d == b || d == c || a == b || a == c || b == c) {
            return false;
        }
        const int sign = compactInCircleSign(m_vertices, a, b, c, d);
        if (sign != 0 || policy == Cocircular::NotInside) {
            return sign > 0;
        }
        if (policy == Cocircular::Decline) {
            throw NotUnique();
        }
        const CompactVertex<Coordinate>&va = m_vertices[a], &vb = m_vertices[b],
              &vc = m_vertices[c], &vd = m_vertices[d];
        return CanonicalInCircle<Coordinate>::tieSign(va.x, va.y, vb.x, vb.y, vc.x, vc.y, vd.x,
                                                      vd.y) > 0;
    }

    // Exact sign of the orientation of a, b, c: positive counterclockwise.
    int orientation(Vertex a, Vertex b, Vertex c) const {
        if (a == b || a == c || b == c) {
            return 0;
        }
        return compactOrientation(m_vertices, a, b, c);
    }

    // Whether x, collinear with a and b, lies between them: exact, as it
    // compares coordinates only.
    bool between(Vertex a, Vertex x, Vertex b) const {
        const auto within = [](Coordinate lo, Coordinate value, Coordinate hi) {
            return lo < hi ? lo <= value && value <= hi : hi <= value && value <= lo;
        };
        const CompactVertex<Coordinate>&va = m_vertices[a], &vx = m_vertices[x],
              &vb = m_vertices[b];
        return within(va.x, vx.x, vb.x) && within(va.y, vx.y, vb.y);
    }

private:
    CompactSubdivision& m_edges;
    QuadRegion& m_region;
    const CompactVertex<Coordinate>* m_vertices;
};

} // namespace EdgeAlgebra
