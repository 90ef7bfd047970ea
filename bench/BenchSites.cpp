#include "BenchSites.h"

#include <random>

namespace {

// Calls take(x, y) for each of the n sites of `seed`, in order.
template <typename Take>
void generateSites(std::size_t n, unsigned seed, Take&& take) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> coordinate(-4.0f, 4.0f);
    for (std::size_t i = 0; i < n; ++i) {
        const float x = coordinate(rng);
        const float y = coordinate(rng);
        take(x, y);
    }
}

} // namespace

BenchSites::BenchSites(std::size_t n, unsigned seed) {
    sites.reserve(n);
    generateSites(n, seed, [this](float x, float y) { sites.emplace_back(x, y); });
    unsorted.reserve(n);
    for (EdgeAlgebra::Site& s : sites) {
        unsorted.push_back(&s);
    }
}

std::vector<float> benchCoords(std::size_t n, unsigned seed) {
    std::vector<float> coords;
    coords.reserve(2 * n);
    generateSites(n, seed, [&coords](float x, float y) {
        coords.push_back(x);
        coords.push_back(y);
    });
    return coords;
}
