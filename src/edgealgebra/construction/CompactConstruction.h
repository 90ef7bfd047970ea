#pragma once

#include "construction/CompactMesh.h"
#include "memory/PageArray.h"
#include "structure/CompactSubdivision.h"

namespace EdgeAlgebra {

// A Delaunay triangulation built in the compact structure: its vertices (in
// the order the build arranged them; CompactVertex::site says which site each
// one is), its edges, the region that holds its quads (every quad of the
// array that holds no edge is marked free, and the region can still hand it
// out), and its two hull edges in the sort order of the sites: `first` is the
// counterclockwise hull edge out of the first site, `last` the clockwise hull
// edge out of the last one.
template <typename Coordinate>
struct CompactTriangulation {
    PageArray<CompactVertex<Coordinate>> vertices;
    CompactSubdivision edges;
    QuadRegion region;
    CompactSubdivision::Record first = 0;
    CompactSubdivision::Record last = 0;
};

// The two compact constructions. Both take at least two distinct finite
// sites in siteLess order (x, then y) and use up to `threads` threads (at
// least one). The result is the same for every number of threads, quad for
// quad. Each schedules its units with UnitSchedule.h; vertical cuts live in
// CompactVerticalCuts.cpp, the strips in StripUnits.cpp, and the strips'
// proof of uniqueness in UniquenessCheck.*.
namespace CompactConstruction {

// Below this many sites the strips save nothing over vertical cuts.
constexpr std::size_t kMinimumStripSites = 16384;

// Guibas and Stolfi's divide and conquer with vertical cuts alone: the result
// that defines the triangulator's, on every input. `policy` decides ties of
// the in-circle test: NotInside (DelaunayTriangulation's rule) or Canonical
// (the flat triangulate()'s).
template <typename Coordinate, Cocircular policy>
CompactTriangulation<Coordinate>
buildWithVerticalCuts(PageArray<CompactVertex<Coordinate>> vertices, unsigned threads);

// Dwyer's variant: vertical cuts down to strips of about sqrt(n log n) sites,
// each strip cut horizontally. With Decline it keeps its result only when it
// is provably the one vertical cuts give: every interior edge strictly
// locally Delaunay, so that the sites have only one Delaunay triangulation.
// Otherwise (cocircular sites) returns false; `result` is then left empty and
// the vertices are in an order of the build's own. With Canonical every tie
// is decided by a rule of the sites alone, the triangulation is unique, and
// the build always succeeds with the result vertical cuts give.
template <typename Coordinate, Cocircular policy>
bool buildWithStrips(PageArray<CompactVertex<Coordinate>>& vertices,
                     CompactTriangulation<Coordinate>& result, unsigned threads);

} // namespace CompactConstruction
} // namespace EdgeAlgebra
