#pragma once

#include "edgealgebra/Site.h"

#include <cstddef>
#include <vector>

inline constexpr unsigned kBenchSeed = 20261208;

// Uniformly random float sites in [-4, 4)^2 from a fixed seed, held by value,
// and the pointers to them in generation order (not sorted).
struct BenchSites {
    explicit BenchSites(std::size_t n, unsigned seed = kBenchSeed);

    std::vector<EdgeAlgebra::Site> sites;
    std::vector<EdgeAlgebra::Site*> unsorted;
};

// The same sites as BenchSites(n, seed), as flat coordinates x0, y0, x1, y1,
// ... and nothing else.
std::vector<float> benchCoords(std::size_t n, unsigned seed = kBenchSeed);
