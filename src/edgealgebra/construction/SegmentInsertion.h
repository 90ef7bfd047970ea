#pragma once

#include <stdexcept>
#include <utility>
#include <vector>

namespace EdgeAlgebra {

// Inserting a segment into a triangulation, so that it becomes an edge, or a
// chain of edges where it runs exactly through other vertices: the edges it
// crosses go, and the two polygons on its sides are triangulated again, each
// as the constrained Delaunay triangulation of its vertices. Written once for
// any quad-edge structure. Besides the navigation and the predicates of the
// divide and conquer, a Mesh offers orientation(a, b, c) (the exact sign) and
// between(a, x, b) (whether x, collinear with a and b, lies between them). The
// Constraints say which edges are already segments (isConstrained), take the
// new ones (constrain), and are told when the segment crosses one of them
// (crossed, which must not return: segments may touch, never cross).
namespace SegmentInsertion {

// Triangulates the polygon on the left of `base` (from a to b) after the
// crossed edges are gone. Its other vertices p_1 .. p_k, from a's side round
// to b's, all lie strictly left of a -> b, and every one of them sees the
// whole of base (the polygon is the union of triangles that the segment
// crossed). The vertex c whose circle through a and b holds none of the
// others, found in one pass since on one side of a -> b those circles are
// nested, makes the Delaunay triangle a, b, c; the edges b -> c and c -> a cut
// off two smaller such polygons, each with its own base.
template <typename Mesh>
void triangulatePolygon(Mesh& mesh, typename Mesh::Edge base) {
    using Edge = typename Mesh::Edge;
    std::vector<Edge> pending{base};
    while (!pending.empty()) {
        base = pending.back();
        pending.pop_back();
        const Edge towardB = mesh.lnext(base); // b -> p_k
        const Edge intoA = mesh.lprev(base);   // p_1 -> a
        if (mesh.lnext(towardB) == intoA) {
            continue; // a triangle already
        }
        const auto a = mesh.org(base), b = mesh.dest(base);
        // The candidates are the destinations of the records from towardB on,
        // up to the one before intoA; out of c leaves the record after the
        // one that ends at c. Ties (cocircular vertices) keep the first.
        Edge intoC = towardB;
        for (Edge e = mesh.lnext(towardB); e != intoA; e = mesh.lnext(e)) {
            if (mesh.inCircle(mesh.dest(e), a, b, mesh.dest(intoC))) {
                intoC = e;
            }
        }
        // Both tests read the polygon before the first new edge changes it.
        const Edge outOfC = mesh.lnext(intoC);
        const bool cNextToA = outOfC == intoA;
        Edge bToC = towardB;
        if (intoC != towardB) {
            bToC = mesh.connect(base, outOfC);
            pending.push_back(mesh.sym(bToC)); // c -> b, with p_k .. on its left
        }
        if (!cNextToA) {
            pending.push_back(mesh.sym(mesh.connect(bToC, base))); // a -> c
        }
    }
}

// Where the segment from a toward b leaves a: either along an edge out of a
// whose other end lies on the segment (the walk then continues from there),
// or into a triangle a, x, y with x strictly right and y strictly left of
// a -> b, through whose edge x -> y it passes.
template <typename Mesh>
struct Departure {
    typename Mesh::Edge edge; // a -> x
    bool along;               // x lies on the segment (or is b)
    bool found;
};

// Whether the segment from a = org(e) toward b leaves a by e, along it or
// into its left triangle.
template <typename Mesh>
Departure<Mesh> tryDeparture(Mesh& mesh, typename Mesh::Edge e, typename Mesh::Vertex b) {
    const auto a = mesh.org(e), x = mesh.dest(e);
    const int side = x == b ? 0 : mesh.orientation(a, b, x);
    // An edge cannot pass through the vertex b, so a collinear x on b's
    // side of a lies between a and b.
    if (x == b || (side == 0 && mesh.between(a, x, b))) {
        return {e, true, true};
    }
    const auto y = mesh.dest(mesh.onext(e));
    const bool into = side < 0 && mesh.orientation(a, b, y) > 0 && mesh.orientation(a, x, y) > 0;
    return {e, false, into};
}

// The departure of the segment a - b from one of its ends: the edges round
// a and round b are tried in turn, one of each at a time, so that the search
// costs twice the smaller number of edges at either end (a star of n
// segments from one site costs n steps in all, not n squared). Tells
// whether it departs from b (toward a) instead.
template <typename Mesh>
Departure<Mesh> departure(Mesh& mesh, typename Mesh::Edge outOfA, typename Mesh::Edge outOfB,
                          bool& fromB) {
    const auto a = mesh.org(outOfA), b = mesh.org(outOfB);
    typename Mesh::Edge ea = outOfA, eb = outOfB;
    for (;;) {
        Departure<Mesh> leave = tryDeparture(mesh, ea, b);
        if (leave.found) {
            fromB = false;
            return leave;
        }
        leave = tryDeparture(mesh, eb, a);
        if (leave.found) {
            fromB = true;
            return leave;
        }
        ea = mesh.onext(ea);
        eb = mesh.onext(eb);
        if (ea == outOfA || eb == outOfB) {
            // Each end lies inside the hull as seen from the other, so some
            // edge or triangle at either faces it: only a broken subdivision
            // gets here.
            throw std::logic_error("segment insertion: no way from a vertex toward the segment");
        }
    }
}

// Makes the segment from a to b edges of the triangulation. `outOfA` is any
// edge out of a; outOf(v) gives one out of any vertex v. Every edge the
// segment crosses is handed to constraints.crossed before anything changes.
template <typename Mesh, typename Constraints, typename OutOf>
void insert(Mesh& mesh, Constraints& constraints, typename Mesh::Vertex a, typename Mesh::Vertex b,
            OutOf outOf) {
    using Edge = typename Mesh::Edge;
    std::vector<Edge> crossed;
    while (a != b) {
        bool fromB = false;
        const Departure<Mesh> leave = departure(mesh, outOf(a), outOf(b), fromB);
        if (fromB) {
            std::swap(a, b); // the rest of the segment, walked from its other end
        }
        if (leave.along) {
            constraints.constrain(leave.edge);
            a = mesh.dest(leave.edge);
            continue;
        }
        // Walk through the triangles the segment crosses, keeping each
        // crossed edge directed from its end right of the segment to its end
        // left of it, until a vertex on the segment: b, or one in between.
        crossed.assign(1, mesh.lnext(leave.edge));
        typename Mesh::Vertex reached = b;
        for (;;) {
            const Edge across = crossed.back();
            if (constraints.isConstrained(across)) {
                constraints.crossed(across);
            }
            const Edge beyond = mesh.sym(across); // its far triangle on the left
            reached = mesh.dest(mesh.lnext(beyond));
            const int side = reached == b ? 0 : mesh.orientation(a, b, reached);
            if (side == 0) {
                break;
            }
            crossed.push_back(side > 0 ? mesh.lnext(beyond) : mesh.lprev(beyond));
        }
        // The records that bound the opened region at a and at the vertex
        // reached outlive the crossed edges.
        const Edge fromA = leave.edge;                                  // a -> x
        const Edge outOfReached = mesh.lprev(mesh.sym(crossed.back())); // reached -> l
        for (const Edge e : crossed) {
            mesh.removeEdge(e);
        }
        const Edge segment = mesh.connect(mesh.lprev(fromA), outOfReached);
        constraints.constrain(segment);
        triangulatePolygon(mesh, segment);           // the side left of the segment
        triangulatePolygon(mesh, mesh.sym(segment)); // and the side right of it
        a = reached;
    }
}

} // namespace SegmentInsertion
} // namespace EdgeAlgebra
