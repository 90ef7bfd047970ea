#pragma once

#include "edgealgebra/Site.h"

#include <memory>
#include <random>
#include <utility>
#include <vector>

using Coordinates = std::vector<std::pair<float, float>>;

// The sites as one flat array x0, y0, x1, y1, ..., as triangulate takes them.
std::vector<float> flat(const Coordinates& coordinates);

// Owns a set of sites and hands them out sorted by siteLess, as the
// triangulator expects them.
class SiteSet {
public:
    explicit SiteSet(const Coordinates& coordinates);
    std::vector<EdgeAlgebra::Site*>& sorted() { return m_sorted; }

private:
    std::vector<std::unique_ptr<EdgeAlgebra::Site>> m_owned;
    std::vector<EdgeAlgebra::Site*> m_sorted;
};

// Generators of site families. All but the float circles lie on the grid of
// multiples of 1/4096, where the test oracle decides in exact integers.
namespace SiteFamilies {

// Uniform floats in [-4, 4)^2, as the benchmarks draw them.
Coordinates uniformFloats(std::size_t n, std::mt19937& rng);
// Uniform on the program's grid: multiples of 1/4096 in [-4, 4).
Coordinates randomGrid(std::size_t n, std::mt19937& rng);
// Grid sites drawn from a k x k lattice of step 1/4: many duplicates.
Coordinates withDuplicates(std::size_t n, int k, std::mt19937& rng);
// n distinct sites on one random line through the grid.
Coordinates collinear(std::size_t n, std::mt19937& rng);
// n sites spread over a few vertical lines.
Coordinates verticalLines(std::size_t n, int lines, std::mt19937& rng);
// The full w x h integer lattice scaled by 1/4: cocircular quadruples everywhere.
Coordinates lattice(int w, int h);
// Lattice points exactly on the circle x^2 + y^2 = 1105^2, scaled by 1/4096,
// optionally with the centre.
Coordinates exactCircle(bool withCentre);
// The lattice points exactly on circles of radius 65, 325 and 1105 about the
// origin, scaled by 1/4096, and the centre: rings of cocircular sites.
Coordinates concentricCircles();
// n floats rounded from points on a circle: nearly, not exactly, cocircular.
Coordinates floatCircle(std::size_t n, double radius, double phase);

} // namespace SiteFamilies
