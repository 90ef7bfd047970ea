// Interpolator: Sibson's coordinates against the areas that inserting the
// point takes from its neighbours' Voronoi cells (Voronoi with and without
// the point); every method reproducing the data at the sites exactly and
// linear and natural neighbour a linear function everywhere, on random and
// cocircular sites, on edges and on the hull; fill outside and in holes.
#include "SiteSets.h"

#include <edgealgebra/Interpolate.h>
#include <edgealgebra/KeepEnclosed.h>
#include <edgealgebra/Voronoi.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using EdgeAlgebra::Interpolation;
using EdgeAlgebra::Interpolator;
using EdgeAlgebra::kNone;

double polygonArea(const EdgeAlgebra::Voronoi::Polygon& p) {
    double sum = 0;
    for (std::size_t k = 0; k < p.size(); ++k) {
        const auto& a = p[k];
        const auto& b = p[(k + 1) % p.size()];
        sum += a[0] * b[1] - a[1] * b[0];
    }
    return sum / 2;
}

std::vector<double> doubles(const Coordinates& c) {
    const std::vector<float> f = flat(c);
    return {f.begin(), f.end()};
}

// One channel per site, 1 at that site and 0 at the others: the
// interpolated channels are the coordinates themselves. Points at random
// and on interior edges (where the circle through the point and the edge
// degenerates, and the areas are cut from the new cell instead).
TEST(Interpolator, SibsonCoordinatesAreTheStolenVoronoiAreas) {
    std::mt19937 rng(3);
    for (const std::vector<double>& xy :
         {doubles(SiteFamilies::randomGrid(40, rng)), doubles(SiteFamilies::lattice(6, 5))}) {
        const std::size_t n = xy.size() / 2;
        std::vector<double> identity(n * n, 0.0);
        for (std::size_t i = 0; i < n; ++i) {
            identity[i * n + i] = 1;
        }
        const EdgeAlgebra::Triangulation t = EdgeAlgebra::triangulate(xy);
        const Interpolator coordinates(t, xy, identity, n);
        const EdgeAlgebra::Box box{-100, -100, 100, 100};
        const EdgeAlgebra::Voronoi before(t, xy, box);
        std::uniform_real_distribution<double> share(0.1, 0.9);
        for (std::uint32_t k = 0; k < 60; ++k) {
            std::vector<double> with(xy);
            const std::uint32_t e = k * 7 % t.triangles.size(), a = t.triangles[e],
                                b = t.triangles[EdgeAlgebra::nextHalfedge(e)],
                                c = t.triangles[EdgeAlgebra::prevHalfedge(e)];
            // Half on the edge from a to b, unless it is on the hull; half
            // inside the triangle.
            const double s = k % 2 == 0 && t.halfedges[e] != kNone ? 0.5 : share(rng),
                         r = s == 0.5 ? 0 : (1 - s) * share(rng);
            with.insert(with.end(),
                        {(1 - s - r) * xy[2 * a] + s * xy[2 * b] + r * xy[2 * c],
                         (1 - s - r) * xy[2 * a + 1] + s * xy[2 * b + 1] + r * xy[2 * c + 1]});
            const EdgeAlgebra::Voronoi after(EdgeAlgebra::triangulate(with), with, box);
            const double total = polygonArea(after.cell(n));
            const std::vector<double> weights =
                coordinates.at({with[2 * n], with[2 * n + 1]}, Interpolation::NaturalNeighbour);
            for (std::size_t i = 0; i < n; ++i) {
                const double stolen = polygonArea(before.cell(i)) - polygonArea(after.cell(i));
                EXPECT_NEAR(weights[i], stolen / total, 1e-9) << "site " << i << " query " << k;
            }
        }
    }
}

// f = 2 + 3x - 5y in the first channel, -x in the second.
TEST(Interpolator, ReproducesSiteValuesAndLinearFunctions) {
    std::mt19937 rng(8);
    const std::pair<const char*, Coordinates> sets[] = {
        {"random", SiteFamilies::uniformFloats(300, rng)},
        {"lattice", SiteFamilies::lattice(8, 8)},
        {"circle", SiteFamilies::exactCircle(true)},
    };
    for (const auto& [name, sites] : sets) {
        const std::vector<double> xy = doubles(sites);
        const EdgeAlgebra::Triangulation t = EdgeAlgebra::triangulate(xy);
        std::vector<double> values, queries(xy);
        for (std::size_t i = 0; i < xy.size(); i += 2) {
            values.insert(values.end(), {2 + 3 * xy[i] - 5 * xy[i + 1], -xy[i]});
        }
        for (std::size_t e = 0; e < t.triangles.size(); ++e) { // on edges, hull edges too
            const std::uint32_t a = t.triangles[e], b = t.triangles[EdgeAlgebra::nextHalfedge(e)];
            queries.insert(queries.end(), {(3 * xy[2 * a] + xy[2 * b]) / 4,
                                           (3 * xy[2 * a + 1] + xy[2 * b + 1]) / 4});
        }
        const Interpolator surface(t, xy, values, 2);
        const EdgeAlgebra::Locator& locator = surface.locator();
        for (const Interpolation method :
             {Interpolation::Linear, Interpolation::NaturalNeighbour, Interpolation::Nearest}) {
            const std::vector<double> got = surface.at(queries, method, -1, 1);
            EXPECT_EQ(got, surface.at(queries, method, -1, 3)) << name;
            for (std::size_t i = 0; i < queries.size() / 2; ++i) {
                const double x = queries[2 * i], y = queries[2 * i + 1];
                const std::uint32_t nearest = locator.nearest(x, y);
                if (i < xy.size() / 2 || method == Interpolation::Nearest) {
                    ASSERT_EQ(got[2 * i], values[2 * nearest]) << name << ' ' << x << ' ' << y;
                } else {
                    ASSERT_NEAR(got[2 * i], 2 + 3 * x - 5 * y, 1e-12)
                        << name << ' ' << x << ' ' << y;
                    ASSERT_NEAR(got[2 * i + 1], -x, 1e-12) << name;
                }
            }
        }
        EXPECT_EQ(surface.at({1e9, 0}, Interpolation::Nearest, -1)[1], -1)
            << "fill beyond the hull";
    }
}

TEST(Interpolator, CarvedHolesGetTheFillAndBadInputIsRefused) {
    const std::vector<double> xy{0, 0, 4, 0, 4, 4, 0, 4, 1, 1, 3, 1, 3, 3, 1, 3, 2, 2};
    EdgeAlgebra::Triangulation t =
        EdgeAlgebra::triangulate(xy, {0, 1, 1, 2, 2, 3, 3, 0, 4, 5, 5, 6, 6, 7, 7, 4});
    EdgeAlgebra::keepEnclosed(t, xy, {2, 2});
    std::vector<double> values;
    for (std::size_t i = 0; i < xy.size(); i += 2) {
        values.push_back(xy[i] + xy[i + 1]);
    }
    values[8] = 1e6; // the carved-away centre lends nothing
    const Interpolator surface(t, xy, values);
    const std::vector<double> grid =
        surface.grid({0.5, 0.5, 1.5, 1.5, 3, 3}, Interpolation::NaturalNeighbour, -7);
    const std::vector<double> expected{1, 2.5, 4, 2.5, -7, 5.5, 4, 5.5, 7};
    for (std::size_t k = 0; k < grid.size(); ++k) {
        EXPECT_NEAR(grid[k], expected[k], 1e-12) << k;
    }
    EXPECT_THROW(Interpolator(t, xy, {1, 2}), std::invalid_argument);
    EXPECT_THROW(Interpolator(t, xy, values, 0), std::invalid_argument);
    EXPECT_THROW(surface.at({1, 2, 3}, Interpolation::Linear), std::invalid_argument);
    EXPECT_THROW(surface.grid({0, NAN, 1, 1, 2, 2}, Interpolation::Linear), std::invalid_argument);
}

} // namespace
