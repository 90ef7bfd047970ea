#pragma once

namespace EdgeAlgebra {

// The steps of Guibas and Stolfi's divide and conquer that both constructions
// of the triangulator share, written once for any quad-edge structure. A Mesh
// names its edges and vertices (types Edge and Vertex) and offers sym, onext,
// oprev, lnext, rprev, org and dest; makeEdge(origin, destination), splice,
// connect, and removeEdge (detach the edge from both rings and free it at
// once); and the exact predicates ccw(a, b, c) and inCircle(d, a, b, c).
namespace DivideAndConquerSteps {

// The hull edges of a sub-triangulation: le is the counterclockwise hull edge
// out of its first vertex, re the clockwise hull edge out of its last (first
// and last in the order in which its halves were cut).
template <typename Mesh>
struct HullEdges {
    typename Mesh::Edge le;
    typename Mesh::Edge re;
};

// Two vertices in cut order: one edge.
template <typename Mesh>
HullEdges<Mesh> triangulateTwo(Mesh& mesh, typename Mesh::Vertex s1, typename Mesh::Vertex s2) {
    const typename Mesh::Edge a = mesh.makeEdge(s1, s2);
    return {a, mesh.sym(a)};
}

// Three vertices in cut order: a triangle, or a chain if they are collinear.
template <typename Mesh>
HullEdges<Mesh> triangulateThree(Mesh& mesh, typename Mesh::Vertex s1, typename Mesh::Vertex s2,
                                 typename Mesh::Vertex s3) {
    const typename Mesh::Edge a = mesh.makeEdge(s1, s2);
    const typename Mesh::Edge b = mesh.makeEdge(s2, s3);
    mesh.splice(mesh.sym(a), b);
    if (mesh.ccw(s1, s2, s3)) {
        mesh.connect(b, a);
        return {a, mesh.sym(b)};
    }
    if (mesh.ccw(s1, s3, s2)) {
        const typename Mesh::Edge c = mesh.connect(b, a);
        return {mesh.sym(c), c};
    }
    return {a, mesh.sym(b)};
}

// The candidate e ends strictly right of (above) the base edge.
template <typename Mesh>
bool isValid(Mesh& mesh, typename Mesh::Edge e, typename Mesh::Edge basel) {
    return mesh.ccw(mesh.dest(e), mesh.dest(basel), mesh.org(basel));
}

// Settles a merge candidate: while the circle through the base edge and the
// candidate's destination holds the destination of the next edge (`next`: the
// next edge around the candidate's origin on its side), deletes and frees the
// candidate and takes the next one. Returns whether the surviving candidate
// is valid; it is tested again only if the loop replaced it, since the same
// test on the same edge gives the same answer.
template <typename Mesh, typename Next>
bool settleCandidate(Mesh& mesh, typename Mesh::Edge& cand, typename Mesh::Edge basel, Next next) {
    if (!isValid(mesh, cand, basel)) {
        return false;
    }
    const typename Mesh::Vertex baseOrg = mesh.org(basel);
    const typename Mesh::Vertex baseDest = mesh.dest(basel);
    bool replaced = false;
    while (mesh.inCircle(mesh.dest(next(cand)), baseDest, baseOrg, mesh.dest(cand))) {
        const typename Mesh::Edge t = next(cand);
        mesh.removeEdge(cand);
        cand = t;
        replaced = true;
    }
    return !replaced || isValid(mesh, cand, basel);
}

// Merges two triangulations whose vertices are separated in cut order (all of
// `lower` before all of `upper`) into the triangulation of both.
template <typename Mesh>
HullEdges<Mesh> merge(Mesh& mesh, HullEdges<Mesh> lower, HullEdges<Mesh> upper) {
    using Edge = typename Mesh::Edge;
    Edge ldo = lower.le, ldi = lower.re, rdi = upper.le, rdo = upper.re;

    // Lower common tangent of the two halves.
    for (;;) {
        if (mesh.ccw(mesh.org(rdi), mesh.org(ldi), mesh.dest(ldi))) {
            ldi = mesh.lnext(ldi);
        } else if (mesh.ccw(mesh.org(ldi), mesh.dest(rdi), mesh.org(rdi))) {
            rdi = mesh.rprev(rdi);
        } else {
            break;
        }
    }

    Edge basel = mesh.connect(mesh.sym(rdi), ldi);
    if (mesh.org(ldi) == mesh.org(ldo)) {
        ldo = mesh.sym(basel);
    }
    if (mesh.org(rdi) == mesh.org(rdo)) {
        rdo = basel;
    }

    // Zip the halves together from the tangent upwards: settle the left and
    // the right candidate, then connect to the better one.
    for (;;) {
        Edge lcand = mesh.onext(mesh.sym(basel));
        const bool lvalid =
            settleCandidate(mesh, lcand, basel, [&mesh](Edge e) { return mesh.onext(e); });
        Edge rcand = mesh.oprev(basel);
        const bool rvalid =
            settleCandidate(mesh, rcand, basel, [&mesh](Edge e) { return mesh.oprev(e); });
        if (!lvalid && !rvalid) {
            break;
        }
        if (!lvalid || (rvalid && mesh.inCircle(mesh.dest(rcand), mesh.dest(lcand), mesh.org(lcand),
                                                mesh.org(rcand)))) {
            basel = mesh.connect(rcand, mesh.sym(basel));
        } else {
            basel = mesh.connect(mesh.sym(basel), mesh.sym(lcand));
        }
    }
    return {ldo, rdo};
}

} // namespace DivideAndConquerSteps
} // namespace EdgeAlgebra
