// Voronoi cells against their definition: the cells tile the box, and every
// point of the box lies in the cell of its nearest site.
#include "edgealgebra/Voronoi.h"
#include "SiteSets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <stdexcept>
#include <string>

using EdgeAlgebra::Box;
using EdgeAlgebra::Voronoi;

namespace {

using Polygon = Voronoi::Polygon;

double cross(double ax, double ay, double bx, double by) {
    return ax * by - ay * bx;
}

double area(const Polygon& p) {
    double twice = 0.0;
    for (std::size_t k = 0; k < p.size(); ++k) {
        const auto& a = p[k];
        const auto& b = p[(k + 1) % p.size()];
        twice += cross(a[0], a[1], b[0], b[1]);
    }
    return 0.5 * twice;
}

// Convex and counterclockwise: every corner turns left, within rounding.
bool isConvex(const Polygon& p, double tolerance) {
    for (std::size_t k = 0; k < p.size(); ++k) {
        const auto& a = p[k];
        const auto& b = p[(k + 1) % p.size()];
        const auto& c = p[(k + 2) % p.size()];
        if (cross(b[0] - a[0], b[1] - a[1], c[0] - b[0], c[1] - b[1]) < -tolerance) {
            return false;
        }
    }
    return p.size() >= 3;
}

bool contains(const Polygon& p, double x, double y, double tolerance) {
    for (std::size_t k = 0; k < p.size(); ++k) {
        const auto& a = p[k];
        const auto& b = p[(k + 1) % p.size()];
        const double length = std::hypot(b[0] - a[0], b[1] - a[1]);
        if (cross(b[0] - a[0], b[1] - a[1], x - a[0], y - a[1]) < -tolerance * length) {
            return false;
        }
    }
    return !p.empty();
}

// The sites that take part: finite, and the first of equal ones.
template <typename T>
std::vector<bool> takingPart(const std::vector<T>& coords) {
    std::vector<bool> result(coords.size() / 2, false);
    std::map<std::pair<T, T>, std::size_t> first;
    for (std::size_t i = 0; i < result.size(); ++i) {
        const T x = coords[2 * i], y = coords[2 * i + 1];
        if (std::isfinite(x) && std::isfinite(y)) {
            result[i] = first.emplace(std::make_pair(x + T(0), y + T(0)), i).second;
        }
    }
    return result;
}

// The property: non-empty cells are convex and counterclockwise and their
// areas sum to the box's; probes lie in the cell of their nearest site (on a
// boundary, in both); left-out sites have no cell. With `coversSites`, every
// site is inside the box, so every site that takes part has a cell. With
// `apartVertices`, no two Voronoi vertices lie within rounding of each other,
// so that cells sharing a vertex must agree on it bit for bit.
template <typename T>
void expectCellsTileTheBox(const std::vector<T>& coords, const Box& box, bool coversSites,
                           bool apartVertices = true) {
    const Voronoi voronoi(EdgeAlgebra::triangulate(coords), coords, box);
    const double size = std::max(box.xmax - box.xmin, box.ymax - box.ymin);
    const double tolerance = 1e-9 * size;
    const std::vector<bool> part = takingPart(coords);
    std::vector<Polygon> cells;
    double total = 0.0;
    for (std::size_t i = 0; i < part.size(); ++i) {
        cells.push_back(voronoi.cell(i));
        const Polygon& cell = cells.back();
        if (!part[i] || coversSites) {
            EXPECT_EQ(cell.empty(), !part[i]) << "site " << i;
        }
        if (!cell.empty()) {
            EXPECT_TRUE(isConvex(cell, tolerance * size)) << "site " << i;
            total += area(cell);
        }
    }
    const double boxArea = (box.xmax - box.xmin) * (box.ymax - box.ymin);
    EXPECT_NEAR(total, boxArea, 1e-9 * boxArea);
    // Neighbouring cells share corners exactly: a Voronoi vertex inside the
    // box is a corner of at least three cells, a point on a side of two.
    std::map<std::array<double, 2>, int> cellsAt;
    for (const Polygon& cell : cells) {
        for (const auto& corner : cell) {
            ++cellsAt[corner];
        }
    }
    for (const auto& [corner, count] : cellsAt) {
        const int sides = (corner[0] == box.xmin || corner[0] == box.xmax) +
                          (corner[1] == box.ymin || corner[1] == box.ymax);
        EXPECT_TRUE(!apartVertices || count >= 3 - sides) << corner[0] << " " << corner[1];
    }

    std::mt19937 rng(5);
    std::uniform_real_distribution<double> x(box.xmin, box.xmax), y(box.ymin, box.ymax);
    for (int probe = 0; probe < 500; ++probe) {
        const double px = x(rng), py = y(rng);
        std::size_t nearest = 0;
        double best = std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < part.size(); ++i) {
            const double d = std::hypot(coords[2 * i] - px, coords[2 * i + 1] - py);
            if (part[i] && d < best) {
                best = d;
                nearest = i;
            }
        }
        EXPECT_TRUE(contains(cells[nearest], px, py, tolerance))
            << "probe " << px << " " << py << " not in the cell of site " << nearest;
    }
}

TEST(Voronoi, CellsTileTheBoxAndHoldTheirNearestPoints) {
    std::mt19937 rng(17);
    Coordinates duplicatesAndNaN = SiteFamilies::withDuplicates(300, 9, rng);
    duplicatesAndNaN.insert(duplicatesAndNaN.begin() + 7, {NAN, 1.0f});
    struct Family {
        std::string name;
        Coordinates sites;
        bool apartVertices = true;
    };
    const Family families[] = {
        {"uniform 2000", SiteFamilies::uniformFloats(2000, rng)},
        {"lattice 12 x 12 (cocircular)", SiteFamilies::lattice(12, 12)},
        // Nearly cocircular: the vertices near the centre nearly coincide.
        {"float circle 100 (far circumcentres)", SiteFamilies::floatCircle(100, 2.0, 0.3), false},
        {"duplicates and NaN", duplicatesAndNaN},
        {"collinear 40 (strips)", SiteFamilies::collinear(40, rng)},
        {"two sites", {{1, 1}, {1.5f, 0}}},
    };
    // One box around every site, one that cuts through them.
    const Box around{-6, -5, 5, 6}, inside{-1.3, -0.7, 1.9, 1.1};
    for (const Family& family : families) {
        SCOPED_TRACE(family.name);
        expectCellsTileTheBox(flat(family.sites), around, true, family.apartVertices);
        expectCellsTileTheBox(flat(family.sites), inside, false, family.apartVertices);
    }
    // Sites in double precision, most of them no float.
    std::uniform_real_distribution<double> coordinate(-4.0, 4.0);
    std::vector<double> doubles(2000);
    for (double& value : doubles) {
        value = coordinate(rng);
    }
    expectCellsTileTheBox(doubles, around, true);
    expectCellsTileTheBox(doubles, inside, false);
}

TEST(Voronoi, CellsThatMissOrOnlyTouchTheBoxAreEmpty) {
    const Box box{-1, -1, 1, 1};
    const std::vector<float> coords{0, 0, 10, 0, 0, 10, 2, 0};
    const Voronoi voronoi(EdgeAlgebra::triangulate(coords), coords, box);
    EXPECT_EQ(voronoi.cell(0), (Polygon{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}));
    EXPECT_TRUE(voronoi.cell(1).empty());
    EXPECT_TRUE(voronoi.cell(2).empty());
    EXPECT_TRUE(voronoi.cell(3).empty()) << "the cell of (2, 0) touches the box along x = 1";
}

TEST(Voronoi, CircumcentresAreEquidistantFromTheCorners) {
    std::mt19937 rng(23);
    const std::vector<float> coords = flat(SiteFamilies::uniformFloats(300, rng));
    const EdgeAlgebra::Triangulation t = EdgeAlgebra::triangulate(coords);
    const Voronoi voronoi(t, coords, Box{-4, -4, 4, 4});
    ASSERT_EQ(voronoi.circumcenters().size(), t.triangles.size() / 3 * 2);
    for (std::size_t e = 0; e < t.triangles.size(); ++e) {
        const double cx = voronoi.circumcenters()[e / 3 * 2];
        const double cy = voronoi.circumcenters()[e / 3 * 2 + 1];
        const std::size_t first = e - e % 3;
        const auto distance = [&](std::size_t k) {
            return std::hypot(coords[2 * t.triangles[k]] - cx, coords[2 * t.triangles[k] + 1] - cy);
        };
        EXPECT_NEAR(distance(e), distance(first), 1e-9 * distance(first));
    }
}

TEST(Voronoi, RefusesWhatDoesNotFit) {
    const std::vector<float> coords{0, 0, 1, 0, 0, 1};
    const EdgeAlgebra::Triangulation t = EdgeAlgebra::triangulate(coords);
    EXPECT_THROW(Voronoi(t, std::vector<float>{0, 0, 1}, Box{0, 0, 1, 1}), std::invalid_argument);
    EXPECT_THROW(Voronoi(t, std::vector<float>{0, 0, 1, 0}, Box{0, 0, 1, 1}),
                 std::invalid_argument);
    EXPECT_THROW(Voronoi(t, coords, Box{0, 0, 0, 1}), std::invalid_argument);
    EXPECT_THROW(Voronoi(t, coords, Box{0, 0, 1, NAN}), std::invalid_argument);
    EXPECT_THROW(Voronoi(t, coords, Box{0, 0, 1, 1}).cell(3), std::out_of_range);
}

} // namespace
