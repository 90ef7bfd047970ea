#include "BenchSites.h"

#include <random>

BenchSites::BenchSites(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> coordinate(-4.0f, 4.0f);
    sites.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const float x = coordinate(rng);
        sites.emplace_back(x, coordinate(rng));
    }
    for (EdgeAlgebra::Site& s : sites) {
        unsorted.push_back(&s);
    }
}
