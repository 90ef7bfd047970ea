#pragma once

#include "edgealgebra/CrossingSegments.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace EdgeAlgebra {

// Marks a half-edge without an opposite one (on the hull).
constexpr std::uint32_t kNone = 0xffffffffu;

// A Delaunay triangulation as flat index arrays, laid out as delaunator's,
// with one difference: triangles and hull run counterclockwise with y up,
// where delaunator's run clockwise (the npm package in web/ turns them to
// delaunator's order). Sites are named by their index in the input (site i is
// at coords[2i], coords[2i + 1]).
//
// - `triangles`: three site indices per triangle, counterclockwise. Half-edge
//   e runs from site triangles[e] to site triangles[next(e)], where next(e) is
//   the next half-edge of the same triangle: e + 1, or e - 2 when e % 3 == 2.
//   Triangle t owns half-edges 3t, 3t + 1 and 3t + 2.
// - `halfedges`: halfedges[e] is the half-edge opposite e (the same edge in
//   the neighbouring triangle, running the other way), or kNone on the hull.
// - `hull`: the sites on the convex hull, counterclockwise, starting at the
//   first site in x-then-y order; sites on a hull edge are hull sites too.
//   When all sites lie on one line there are no triangles, and the hull lists
//   the sites along the line, in x-then-y order.
// - `constrained`: for a triangulation with segments, one flag per half-edge,
//   1 where the half-edge lies on a segment; empty without segments.
struct Triangulation {
    std::vector<std::uint32_t> triangles;
    std::vector<std::uint32_t> halfedges;
    std::vector<std::uint32_t> hull;
    std::vector<std::uint8_t> constrained;
};

// The half-edge after e in its triangle (counterclockwise), and the one
// before it.
constexpr std::uint32_t nextHalfedge(std::uint32_t e) {
    return e % 3 == 2 ? e - 2 : e + 1;
}
constexpr std::uint32_t prevHalfedge(std::uint32_t e) {
    return e % 3 == 0 ? e + 2 : e - 1;
}

// The Delaunay triangulation of the sites (x0, y0, x1, y1, ...), with exact
// predicates. Where four or more sites are cocircular with no site inside
// their circle, more than one triangulation is Delaunay; the one chosen is
// canonical: the in-circle test is perturbed symbolically as if each site
// were lifted by an infinitesimal that shrinks along the sites' (x, y) order,
// so the choice depends only on the coordinates of the sites involved, never
// on the input order or on the other sites. Hence the triangles are the same
// for every order of the input, and for any axis-parallel box W, the
// triangles of the sites in W whose closed circumdisk lies in W are exactly
// the triangles of all sites whose closed circumdisk lies in W. In general
// position these are the triangles of DelaunayTriangulation on the same
// sites; on cocircular sites DelaunayTriangulation keeps its own rule and the
// two may choose different diagonals.
// - Sites with a NaN or infinite coordinate appear in no triangle and not in
//   the hull. Of sites with equal coordinates only the one with the lowest
//   index takes part.
// - Fewer than two distinct finite sites give empty arrays.
// - An odd number of values throws std::invalid_argument; more sites than
//   32-bit indices can name throws std::length_error.
// Large inputs are triangulated on up to `threads` threads (0: as many as the
// hardware runs at once); the arrays are the same for every number of
// threads, and small inputs stay on the calling thread.
Triangulation triangulate(const std::vector<float>& coords, unsigned threads = 0);

// The same in double precision: the predicates decide exactly on the double
// coordinates (they are not rounded to float), with the same conventions.
// On sites that are floats the two give the same arrays.
Triangulation triangulate(const std::vector<double>& coords, unsigned threads = 0);

// The constrained Delaunay triangulation of the sites' convex hull with the
// segments (pairs of site indices: from0, to0, from1, to1, ...): every
// segment is an edge or, where it runs exactly through other sites, a chain
// of edges, and every other edge is locally Delaunay (the far corner of
// either neighbouring triangle lies outside the other's circumcircle unless
// a segment stands between them). `constrained` marks the segments' edges.
// A segment given twice counts once; segments may share sites, never cross.
// Each segment is inserted by removing the edges it crosses and
// triangulating the two polygons on its sides again, with exact predicates
// throughout. The segments are inserted on the calling thread.
//
// Bad segments throw std::invalid_argument before anything is built, and
// crossing segments while they are inserted; there is no partial result:
// an odd number of indices, an index out of range, an end at a site with a
// NaN or infinite coordinate, both ends at the same point, and two segments
// that cross (named by their positions in the list: "segments 2 and 5
// cross"), which throw CrossingSegments, an std::invalid_argument that also
// carries the two positions.
Triangulation triangulate(const std::vector<float>& coords,
                          const std::vector<std::uint32_t>& segments, unsigned threads = 0);
Triangulation triangulate(const std::vector<double>& coords,
                          const std::vector<std::uint32_t>& segments, unsigned threads = 0);

// The same on coordinates held elsewhere: `count` values (x0, y0, x1, y1,
// ...) at `coords`, read in place, not copied.
Triangulation triangulate(const float* coords, std::size_t count, unsigned threads = 0);
Triangulation triangulate(const double* coords, std::size_t count, unsigned threads = 0);
Triangulation triangulate(const float* coords, std::size_t count,
                          const std::vector<std::uint32_t>& segments, unsigned threads = 0);
Triangulation triangulate(const double* coords, std::size_t count,
                          const std::vector<std::uint32_t>& segments, unsigned threads = 0);

} // namespace EdgeAlgebra
