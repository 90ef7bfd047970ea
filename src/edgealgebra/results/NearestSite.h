#pragma once

#include "results/FlatMesh.h"

#include <cstdint>
#include <vector>

namespace EdgeAlgebra {

// The nearest site of a Delaunay triangulation to (x, y), ties to the lowest
// number, found by descent from `start` (a corner of some triangle): while a
// neighbour of the current site lies strictly nearer, move to it. In a
// Delaunay triangulation a site that is not nearest always has a nearer
// neighbour (its Voronoi cell is cut by its neighbours' bisectors alone), so
// the descent ends at a nearest site. The sites tied with it lie on an empty
// circle around the point, whose consecutive sites are joined by Delaunay
// edges in every Delaunay triangulation: they are found among the tied
// neighbours, transitively. Distances are compared exactly. Internal to the
// core.
// `numbers` (per site) decide the ties.
std::uint32_t nearestByDescent(const FlatMesh& mesh, const std::vector<std::uint32_t>& outgoing,
                               const std::vector<std::uint32_t>& numbers, std::uint32_t start,
                               double x, double y);

// The same for sites on one line, `line` listing them in order along it:
// their distances to the point fall, then rise.
std::uint32_t nearestOnLine(const FlatMesh& mesh, const std::vector<std::uint32_t>& line,
                            const std::vector<std::uint32_t>& numbers, double x, double y);

} // namespace EdgeAlgebra
