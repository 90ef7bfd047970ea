#include "CoincidentSites.h"

#include <gtest/gtest.h>

namespace {

using DelaunayTest::Point;
using TessaroTools::mergeCoincidentSites;

std::vector<std::pair<float, float>> coordinates(const std::vector<Point>& sites) {
    std::vector<std::pair<float, float>> result;
    for (const Point& p : sites) {
        result.emplace_back(p.x, p.y);
    }
    return result;
}

TEST(MergeCoincidentSites, KeepsEachPositionOnceInAscendingOrder) {
    using Coordinates = std::vector<std::pair<float, float>>;
    const std::pair<std::vector<Point>, Coordinates> cases[] = {
        {{}, {}},
        {{{1, 2}}, {{1, 2}}},
        {{{1, 2}, {1, 2}}, {{1, 2}}},
        {{{3, 1}, {1, 2}, {3, 1}, {1, 2}, {3, 1}}, {{1, 2}, {3, 1}}},
        {{{1, 3}, {1, 2}, {0, 5}}, {{0, 5}, {1, 2}, {1, 3}}},
        // Equal x, different y, and nearly equal floats stay apart.
        {{{1, 2}, {1, 2.0000002f}, {1, 2}}, {{1, 2}, {1, 2.0000002f}}},
        // Zero and negative zero are the same position.
        {{{0, 0}, {-0.0f, 0}, {0, -0.0f}}, {{0, 0}}},
    };
    for (const auto& [sites, expected] : cases) {
        EXPECT_EQ(coordinates(mergeCoincidentSites(sites)), expected);
    }
}

} // namespace
