#pragma once

#include "edgealgebra/Locate.h"
#include "results/FlatMesh.h"
#include "results/TriangleBuckets.h"
#include "results/TriangleWalk.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace EdgeAlgebra {

// A triangulation with its coordinates and what the walks need to start
// and to turn around a site.
struct IndexedMesh {
    IndexedMesh(Triangulation triangulation, std::vector<double> coords);

    FlatMesh mesh() const { return {t, xy}; }

    Triangulation t;
    std::vector<double> xy;
    std::vector<std::uint32_t> outgoing;
    StartGrid start;
};

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
    State(Triangulation triangulation, std::vector<double> coords, unsigned threads);

    // The triangle that holds (x, y), from a walk that starts at triangle
    // `hint` (kNone: at the start grid's).
    std::uint32_t find(double x, double y, std::uint32_t hint) const;

    // The nearest site in the numbering of delaunayMesh(), from a descent
    // that starts at site `hint` (kNone: near the point); kNone without sites.
    std::uint32_t nearest(double x, double y, std::uint32_t hint) const;

    // The Delaunay triangulation of the domain's sites, and the domain's
    // number of each of its sites.
    const IndexedMesh& delaunayMesh() const { return delaunay ? *delaunay : domain; }
    std::uint32_t domainSite(std::uint32_t site) const {
        return delaunay && site != kNone ? delaunaySites[site] : site;
    }

    IndexedMesh domain;
    // A convex domain (a triangulation of the sites' hull) is searched by
    // walks; any other by buckets, since a walk could not cross its gaps.
    bool convex = false;
    TriangleBuckets buckets;
    std::unique_ptr<IndexedMesh> delaunay;
    std::vector<std::uint32_t> delaunaySites;
};

} // namespace EdgeAlgebra
