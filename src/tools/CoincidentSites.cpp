#include "CoincidentSites.h"

#include <algorithm>
#include <tuple>

namespace TessaroTools {

std::vector<DelaunayTest::Point> mergeCoincidentSites(std::vector<DelaunayTest::Point> sites) {
    using DelaunayTest::Point;
    std::sort(sites.begin(), sites.end(), [](const Point& a, const Point& b) {
        return std::tie(a.x, a.y) < std::tie(b.x, b.y);
    });
    const auto end = std::unique(sites.begin(), sites.end(), [](const Point& a, const Point& b) {
        return a.x == b.x && a.y == b.y;
    });
    sites.erase(end, sites.end());
    return sites;
}

} // namespace TessaroTools
