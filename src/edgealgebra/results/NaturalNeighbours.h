#pragma once

#include "results/BisectorClip.h"
#include "results/LocatorState.h"

#include <cstdint>
#include <vector>

namespace EdgeAlgebra {

// Sites with their weights in an interpolation, and the scratch space that
// computing them needs, kept between queries. Internal to the core.
struct SiteWeights {
    std::vector<std::uint32_t> sites;
    std::vector<double> weights;

    std::vector<std::uint32_t> cavity, boundary;
    ClipPolygon centres, cell, piece, scratch;

    void set(std::initializer_list<std::uint32_t> s, std::initializer_list<double> w) {
        sites.assign(s);
        weights.assign(w);
    }
};

// Barycentric weights of (x, y) in triangle `triangle`, whose closed area
// holds it. At a corner the corner's weight is exactly 1.
void barycentricWeights(const FlatMesh& mesh, std::uint32_t triangle, double x, double y,
                        SiteWeights& out);

// Sibson's natural neighbour coordinates of (x, y) in a Delaunay
// triangulation, `triangle` one whose closed area holds the point:
// - the natural neighbours are the corners of the Bowyer-Watson cavity, the
//   triangles whose circumcircles hold the point strictly (exact in-circle
//   tests), found from `triangle` across shared edges;
// - the point's new Voronoi cell is the polygon of the circumcentres of the
//   point with each edge of the cavity's boundary, and the area it takes
//   from neighbour a is what remains of it on a's side of the bisectors with
//   every other neighbour; the weights are those areas over their sum. No
//   circumcentre of an old triangle enters, so the far-off centres of the
//   flat triangles along the hull do not either;
// - on a site its weight is exactly 1, on a hull edge the weights are the
//   linear ones along the edge (the limit of the coordinates there).
void sibsonWeights(const FlatMesh& mesh, std::uint32_t triangle, double x, double y,
                   SiteWeights& out);

} // namespace EdgeAlgebra
