#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

// Domains to mesh, as refine takes them: sites, segments (pairs of site
// indices) and a point inside each hole. Shared by the tests and the
// benchmarks.
struct Domain {
    std::vector<double> coords;
    std::vector<std::uint32_t> segments;
    std::vector<double> holes;
};

namespace MeshDomains {

// The unit square with a 5 x 4 grid of round holes, each a regular polygon
// of `sides` corners.
Domain plate(int sides);
// A comb of `teeth` teeth, each a triangle with an apex angle of
// `toothDegrees` standing on a unit base; the gaps between them meet at the
// same angle.
Domain comb(int teeth, double toothDegrees);
// Koch's snowflake after `levels` steps: 3 * 4^levels vertices, angles of 60
// and 240 degrees at every scale.
Domain coastline(int levels);
// A random star-shaped polygon of n corners around the origin with up to
// three small square holes.
Domain randomPolygonWithHoles(std::size_t n, std::mt19937& rng);
// Two segments from the origin at `degrees` to each other, closed by a third.
Domain wedge(double degrees);

} // namespace MeshDomains
