#include "reference_delaunay.h"

#include "ExactOracle.h"
#include "edgealgebra/Site.h"

#include <cmath>
#include <set>
#include <stdexcept>

namespace e2e {

namespace {

// The sites as the exact oracle takes them. Multiples of 1/4096 within the
// program's square are floats exactly, and the oracle decides them on
// integers.
std::vector<EdgeAlgebra::Site> toGrid(const std::vector<SitePoint>& sites) {
    std::vector<EdgeAlgebra::Site> grid;
    for (const SitePoint& site : sites) {
        const double gx = site.x * 4096.0;
        const double gy = site.y * 4096.0;
        if (gx != std::floor(gx) || gy != std::floor(gy) || static_cast<float>(site.x) != site.x ||
            static_cast<float>(site.y) != site.y) {
            throw std::invalid_argument("site is not on the 1/4096 grid");
        }
        grid.emplace_back(static_cast<float>(site.x), static_cast<float>(site.y));
    }
    return grid;
}

// The exact predicates on the grid sites.
class GridPredicates {
public:
    explicit GridPredicates(const std::vector<SitePoint>& sites)
        : m_sites(toGrid(sites)), m_oracle(pointers(m_sites)) {}

    int orientation(std::size_t a, std::size_t b, std::size_t c) const {
        return m_oracle.orientation(m_sites[a], m_sites[b], m_sites[c]);
    }
    // Positive when d lies strictly inside the circle through a, b, c, zero
    // when on it, whichever way a, b, c turn.
    int inCircle(std::size_t a, std::size_t b, std::size_t c, std::size_t d) const {
        const int turn = orientation(a, b, c);
        return turn * m_oracle.inCircle(m_sites[a], m_sites[b], m_sites[c], m_sites[d]);
    }
    std::size_t size() const { return m_sites.size(); }

private:
    static std::vector<EdgeAlgebra::Site*> pointers(std::vector<EdgeAlgebra::Site>& sites) {
        std::vector<EdgeAlgebra::Site*> result;
        for (EdgeAlgebra::Site& site : sites) {
            result.push_back(&site);
        }
        return result;
    }

    std::vector<EdgeAlgebra::Site> m_sites;
    ExactOracle m_oracle;
};

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
    const GridPredicates grid(sites);
    bool general = true;
    forEachTriple(grid.size(), [&](std::size_t i, std::size_t j, std::size_t k) {
        if (grid.orientation(i, j, k) == 0) {
            general = false; // also catches two equal sites
            return;
        }
        for (std::size_t m = k + 1; m < grid.size(); ++m) {
            if (grid.inCircle(i, j, k, m) == 0) {
                general = false;
            }
        }
    });
    return general;
}

ReferenceTriangulation triangulateByBruteForce(const std::vector<SitePoint>& sites) {
    const GridPredicates grid(sites);
    ReferenceTriangulation result;
    std::set<std::array<std::size_t, 2>> edges;
    forEachTriple(grid.size(), [&](std::size_t i, std::size_t j, std::size_t k) {
        for (std::size_t m = 0; m < grid.size(); ++m) {
            if (m != i && m != j && m != k && grid.inCircle(i, j, k, m) >= 0) {
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
