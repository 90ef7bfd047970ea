#pragma once

#include "edgealgebra/Site.h"

#include <cstddef>
#include <vector>

// Uniformly random float sites in [-4, 4)^2 from a fixed seed, held by value,
// and the pointers to them in generation order (not sorted).
struct BenchSites {
    explicit BenchSites(std::size_t n, unsigned seed = 20261208);

    std::vector<EdgeAlgebra::Site> sites;
    std::vector<EdgeAlgebra::Site*> unsorted;
};
