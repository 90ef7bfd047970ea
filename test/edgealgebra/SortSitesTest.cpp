#include "edgealgebra/SortSites.h"
#include "SiteSets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>

using EdgeAlgebra::Site;

namespace {

struct SortCase {
    std::string name;
    Coordinates coordinates;
};

// Sites whose coordinates are drawn from a small pool of awkward floats:
// signed zeros, subnormals, extremes of both signs, and (optionally)
// infinities and NaNs. Many ties in x, in y and in both.
Coordinates awkwardFloats(std::size_t n, bool nonFinite, std::mt19937& rng) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float denormal = std::numeric_limits<float>::denorm_min();
    std::vector<float> pool = {0.0f,
                               -0.0f,
                               denormal,
                               -denormal,
                               1.0f,
                               -1.0f,
                               1e-38f,
                               -1e-38f,
                               3.5f,
                               -3.5f,
                               std::numeric_limits<float>::max(),
                               -std::numeric_limits<float>::max()};
    if (nonFinite) {
        pool.insert(pool.end(), {inf, -inf, nan, -nan});
    }
    std::uniform_int_distribution<std::size_t> pick(0, pool.size() - 1);
    Coordinates coordinates;
    for (std::size_t i = 0; i < n; ++i) {
        coordinates.emplace_back(pool[pick(rng)], pool[pick(rng)]);
    }
    return coordinates;
}

std::vector<SortCase> sortCases() {
    std::mt19937 rng(4711);
    std::vector<SortCase> cases;
    cases.push_back({"empty", {}});
    cases.push_back({"one", {{1.0f, 2.0f}}});
    cases.push_back({"duplicates 20", SiteFamilies::withDuplicates(20, 2, rng)});
    cases.push_back({"awkward floats 25, non-finite", awkwardFloats(25, true, rng)});
    cases.push_back({"uniform 100", SiteFamilies::uniformFloats(100, rng)});
    cases.push_back({"uniform 1000", SiteFamilies::uniformFloats(1000, rng)});
    cases.push_back({"uniform 50000", SiteFamilies::uniformFloats(50000, rng)});
    cases.push_back({"duplicates 5000", SiteFamilies::withDuplicates(5000, 8, rng)});
    cases.push_back({"vertical lines 5000", SiteFamilies::verticalLines(5000, 3, rng)});
    cases.push_back({"one vertical line", SiteFamilies::verticalLines(3000, 1, rng)});
    cases.push_back({"lattice", SiteFamilies::lattice(40, 40)});
    cases.push_back({"awkward floats", awkwardFloats(4000, false, rng)});
    cases.push_back({"awkward floats, non-finite", awkwardFloats(4000, true, rng)});
    cases.push_back({"few non-finite", awkwardFloats(30, true, rng)});
    return cases;
}

// The radix sort must give exactly what a stable comparison sort with
// siteLess gives: the same order of distinct sites, ties in input order.
TEST(SortSites, MatchesStableSortWithSiteLess) {
    for (const SortCase& c : sortCases()) {
        for (bool reversed : {false, true}) {
            std::vector<Site> storage;
            storage.reserve(c.coordinates.size());
            for (const auto& [x, y] : c.coordinates) {
                storage.emplace_back(x, y);
            }
            std::vector<Site*> input;
            for (Site& s : storage) {
                input.push_back(&s);
            }
            if (reversed) {
                std::reverse(input.begin(), input.end());
            }
            std::vector<Site*> expected = input;
            std::stable_sort(expected.begin(), expected.end(), EdgeAlgebra::siteLess);
            std::vector<Site*> actual = input;
            EdgeAlgebra::sortSites(actual);

            ASSERT_EQ(actual.size(), expected.size()) << c.name;
            const auto mismatch = std::mismatch(actual.begin(), actual.end(), expected.begin());
            EXPECT_TRUE(mismatch.first == actual.end())
                << c.name << (reversed ? ", reversed" : "") << ": first difference at position "
                << (mismatch.first - actual.begin()) << ", (" << (*mismatch.first)->x << ","
                << (*mismatch.first)->y << ") instead of (" << (*mismatch.second)->x << ","
                << (*mismatch.second)->y << ")";
        }
    }
}

} // namespace
