#pragma once

#include "edgealgebra/Locate.h"
#include "results/FlatMesh.h"
#include "results/IndexedMesh.h"
#include "results/TriangleBuckets.h"
#include "results/TriangleWalk.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace EdgeAlgebra {

// A triangle of a mesh that covers its sites' convex hull whose closed area
// holds (x, y) (kNone for none), with the lines of its edges through the
// point: a walk from triangle `hint` (kNone: from the start grid's), and a
// scan of every triangle should the walk not arrive.
struct Holding {
    std::uint32_t triangle;
    unsigned onLine; // as WalkEnd::onLine
};
Holding findInConvex(const IndexedMesh& indexed, double x, double y, std::uint32_t hint);

// What a Locator holds: the triangulation it was given (the domain), and,
// where that one is not Delaunay (segments, a carved domain), the Delaunay
// triangulation of the domain's sites for the nearest-site descent.
// Internal to the core.
struct Locator::State {
    State(const Triangulation& triangulation, const std::vector<double>& coords, unsigned threads);

    // The triangle of domain that holds (x, y) (of those there, the one
    // numbered lowest in the given triangulation), from a walk that starts
    // at triangle `hint` (kNone: at the start grid's); kNone outside.
    std::uint32_t find(double x, double y, std::uint32_t hint) const;

    // The nearest site of delaunayMesh() (ties to the lowest number in the
    // given triangulation), from a descent that starts at site `hint`
    // (kNone: near the point); kNone without sites.
    std::uint32_t nearest(double x, double y, std::uint32_t hint) const;

    // The Delaunay triangulation of the domain's sites: the domain itself
    // unless it has segments or was carved. Its originalSite are the sites'
    // numbers in the given triangulation too.
    const IndexedMesh& delaunayMesh() const { return delaunay ? *delaunay : domain; }

    IndexedMesh domain;
    // A convex domain (a triangulation of the sites' hull) is searched by
    // walks; any other by buckets, since a walk could not cross its gaps.
    bool convex = false;
    TriangleBuckets buckets;
    std::unique_ptr<IndexedMesh> delaunay;
};

} // namespace EdgeAlgebra
