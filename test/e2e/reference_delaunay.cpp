#include "reference_delaunay.h"

#include <cmath>
#include <cstdint>
#include <set>
#include <stdexcept>
#include <utility>

namespace e2e {

namespace {

// Products of lifted coordinates need more than 64 bits.
__extension__ typedef __int128 Wide;

struct GridPoint {
    std::int64_t x;
    std::int64_t y;
};

GridPoint toGrid(const SitePoint& site) {
    const double gx = site.x * 4096.0;
    const double gy = site.y * 4096.0;
    if (gx != std::floor(gx) || gy != std::floor(gy)) {
        throw std::invalid_argument("site is not on the 1/4096 grid");
    }
    return {static_cast<std::int64_t>(gx), static_cast<std::int64_t>(gy)};
}

// Twice the signed area of abc: positive when counterclockwise.
std::int64_t orientation(GridPoint a, GridPoint b, GridPoint c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// Positive when d lies strictly inside the circle through the
// counterclockwise triangle abc, zero when on it.
Wide inCircle(GridPoint a, GridPoint b, GridPoint c, GridPoint d) {
    const Wide adx = a.x - d.x, ady = a.y - d.y;
    const Wide bdx = b.x - d.x, bdy = b.y - d.y;
    const Wide cdx = c.x - d.x, cdy = c.y - d.y;
    const Wide alift = adx * adx + ady * ady;
    const Wide blift = bdx * bdx + bdy * bdy;
    const Wide clift = cdx * cdx + cdy * cdy;
    return adx * (bdy * clift - blift * cdy) - ady * (bdx * clift - blift * cdx) +
           alift * (bdx * cdy - bdy * cdx);
}

std::vector<GridPoint> toGrid(const std::vector<SitePoint>& sites) {
    std::vector<GridPoint> grid;
    for (const SitePoint& site : sites) {
        grid.push_back(toGrid(site));
    }
    return grid;
}

// Calls visit(i, j, k) for every triple with i < j < k.
template <typename Visit>
void forEachTriple(std::size_t n, Visit visit) {
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            for (std::size_t k = j + 1; k < n; ++k) {
                visit(i, j, k);
            }
        }
    }
}

ReferenceCircle circumcircle(const SitePoint& a, const SitePoint& b, const SitePoint& c) {
    const double d = 2.0 * (a.x * (b.y - c.y) + b.x * (c.y - a.y) + c.x * (a.y - b.y));
    const double a2 = a.x * a.x + a.y * a.y;
    const double b2 = b.x * b.x + b.y * b.y;
    const double c2 = c.x * c.x + c.y * c.y;
    const SitePoint center{(a2 * (b.y - c.y) + b2 * (c.y - a.y) + c2 * (a.y - b.y)) / d,
                           (a2 * (c.x - b.x) + b2 * (a.x - c.x) + c2 * (b.x - a.x)) / d};
    return {center, std::hypot(a.x - center.x, a.y - center.y)};
}

} // namespace

bool inGeneralPosition(const std::vector<SitePoint>& sites) {
    const std::vector<GridPoint> grid = toGrid(sites);
    bool general = true;
    forEachTriple(grid.size(), [&](std::size_t i, std::size_t j, std::size_t k) {
        if (orientation(grid[i], grid[j], grid[k]) == 0) {
            general = false; // also catches two equal sites
            return;
        }
        GridPoint a = grid[i], b = grid[j];
        if (orientation(a, b, grid[k]) < 0) {
            std::swap(a, b);
        }
        for (std::size_t m = k + 1; m < grid.size(); ++m) {
            if (inCircle(a, b, grid[k], grid[m]) == 0) {
                general = false;
            }
        }
    });
    return general;
}

ReferenceTriangulation triangulateByBruteForce(const std::vector<SitePoint>& sites) {
    const std::vector<GridPoint> grid = toGrid(sites);
    ReferenceTriangulation result;
    std::set<std::array<std::size_t, 2>> edges;
    forEachTriple(grid.size(), [&](std::size_t i, std::size_t j, std::size_t k) {
        GridPoint a = grid[i], b = grid[j];
        if (orientation(a, b, grid[k]) < 0) {
            std::swap(a, b);
        }
        for (std::size_t m = 0; m < grid.size(); ++m) {
            if (m != i && m != j && m != k && inCircle(a, b, grid[k], grid[m]) >= 0) {
                return;
            }
        }
        result.triangles.push_back({i, j, k});
        result.circles.push_back(circumcircle(sites[i], sites[j], sites[k]));
        edges.insert({i, j});
        edges.insert({j, k});
        edges.insert({i, k});
    });
    result.edges.assign(edges.begin(), edges.end());
    // A triangulation of n sites, h of them on the hull, has 3n - 3 - h edges.
    result.hullSize = 3 * sites.size() - 3 - result.edges.size();
    return result;
}

} // namespace e2e
