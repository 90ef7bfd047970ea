// The fast construction (strips cut horizontally) against the construction with
// vertical cuts alone: wherever the fast one keeps its result, the two must be
// the same subdivision record for record (the same quads in the same
// direction, the same rings, the same hull edges); where the sites have more
// than one Delaunay triangulation it must decline and leave nothing behind.
#include "construction/CompactToQuadEdges.h"
#include "ConstructionComparison.h"
#include "SiteSets.h"
#include "edgealgebra/QuadEdge.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

using EdgeAlgebra::CompactToQuadEdges;
using EdgeAlgebra::QuadEdge;
using EdgeAlgebra::Site;

namespace {

enum class Expect { Keeps, Declines, Either };

void compare(const Coordinates& coordinates, Expect expect, const std::string& name) {
    SiteSet sites(coordinates);
    const TessaroFuzz::ComparisonResult result = TessaroFuzz::compareConstructions(sites.sorted());
    EXPECT_EQ(result.fault, "") << name;
    if (expect == Expect::Keeps) {
        EXPECT_TRUE(result.kept) << name;
    } else if (expect == Expect::Declines) {
        EXPECT_FALSE(result.kept) << name;
    }
}

Coordinates uniform(std::size_t n, std::mt19937& rng) {
    return SiteFamilies::uniformFloats(n, rng);
}

// Clusters of very different density, and a few far outliers.
Coordinates clustered(std::size_t n, std::mt19937& rng) {
    std::normal_distribution<float> spread(0.0f, 1.0f);
    std::uniform_real_distribution<float> centre(-100.0f, 100.0f);
    Coordinates result;
    for (int cluster = 0; result.size() < n; ++cluster) {
        const float cx = centre(rng), cy = centre(rng);
        const float scale = std::ldexp(1.0f, -(cluster % 12));
        for (std::size_t i = 0; i < 50 && result.size() < n; ++i) {
            result.emplace_back(cx + scale * spread(rng), cy + scale * spread(rng));
        }
    }
    return result;
}

// Sites on a few horizontal lines: ties in y inside the strips.
Coordinates horizontalLines(std::size_t n, int lines, std::mt19937& rng) {
    std::uniform_real_distribution<float> coordinate(-4.0f, 4.0f);
    Coordinates result;
    for (std::size_t i = 0; i < n; ++i) {
        result.emplace_back(coordinate(rng), static_cast<float>(static_cast<int>(i) % lines));
    }
    return result;
}

// n sites on the line through the origin with direction (dx, dy).
Coordinates line(std::size_t n, int dx, int dy) {
    Coordinates result;
    for (std::size_t i = 0; i < n; ++i) {
        const auto k = static_cast<float>((i * 7919) % n);
        result.emplace_back(k * static_cast<float>(dx), k * static_cast<float>(dy));
    }
    return result;
}

TEST(CompactToQuadEdges, KeepsExactlyTheVerticalCutTriangulationOfUniqueInput) {
    std::mt19937 rng(2024);
    for (std::size_t n = 2; n <= 40; ++n) {
        for (int round = 0; round < 5; ++round) {
            compare(uniform(n, rng), Expect::Keeps, "uniform " + std::to_string(n));
        }
    }
    for (std::size_t n : {1000u, 4099u, 30000u}) {
        compare(uniform(n, rng), Expect::Keeps, "uniform " + std::to_string(n));
        compare(clustered(n, rng), Expect::Either, "clustered " + std::to_string(n));
        compare(horizontalLines(n, 7, rng), Expect::Either,
                "horizontal lines " + std::to_string(n));
        compare(SiteFamilies::verticalLines(n, 5, rng), Expect::Either,
                "vertical lines " + std::to_string(n));
        compare(SiteFamilies::randomGrid(n, rng), Expect::Either, "grid " + std::to_string(n));
    }
}

// Strips are sorted by y on the bits of the floats: -0 must sort as +0.
TEST(CompactToQuadEdges, SignedZerosAreOneCoordinate) {
    std::mt19937 rng(13);
    Coordinates sites = uniform(3000, rng);
    for (int i = 0; i < 200; ++i) {
        const float x = -3.0f + 0.03f * static_cast<float>(i);
        sites.emplace_back(x, i % 2 == 0 ? 0.0f : -0.0f);
        sites.emplace_back(i % 3 == 0 ? -0.0f : 0.0f, x + 0.001f);
    }
    compare(sites, Expect::Keeps, "signed zeros");
}

TEST(CompactToQuadEdges, CollinearSitesGiveTheSameChain) {
    struct Direction {
        int dx, dy;
    };
    for (const Direction d :
         {Direction{1, 0}, Direction{0, 1}, Direction{1, 1}, Direction{1, -1}, Direction{3, -2}}) {
        for (std::size_t n : {2u, 3u, 5u, 2000u}) {
            compare(line(n, d.dx, d.dy), Expect::Keeps,
                    "line " + std::to_string(d.dx) + "," + std::to_string(d.dy) + " n " +
                        std::to_string(n));
        }
    }
}

TEST(CompactToQuadEdges, DeclinesWhereTheTriangulationIsNotUnique) {
    std::mt19937 rng(5);
    compare(SiteFamilies::lattice(40, 40), Expect::Declines, "lattice");
    compare(SiteFamilies::exactCircle(false), Expect::Declines, "exact circle");
    compare(SiteFamilies::exactCircle(true), Expect::Either, "exact circle with centre");
    Coordinates doubled = uniform(3000, rng);
    doubled.push_back(doubled[1234]);
    compare(doubled, Expect::Declines, "one duplicate");
    compare(SiteFamilies::withDuplicates(2000, 30, rng), Expect::Declines, "many duplicates");
    // Four cocircular corners of a square far from everything else.
    Coordinates square = uniform(2000, rng);
    for (const auto& corner : {std::pair<float, float>{10, 10}, {11, 10}, {10, 11}, {11, 11}}) {
        square.push_back(corner);
    }
    compare(square, Expect::Declines, "one empty square");
}

// Sites with a NaN or infinite coordinate sort last and take no part.
TEST(CompactToQuadEdges, NonFiniteSitesAfterTheFiniteOnesAreLeftOut) {
    std::mt19937 rng(11);
    const float nan = std::nanf(""), inf = INFINITY;
    Coordinates sites = uniform(3000, rng);
    sites.emplace_back(nan, 1.0f);
    sites.emplace_back(2.0f, -inf);
    sites.emplace_back(inf, inf);
    compare(sites, Expect::Keeps, "uniform with non-finite sites");
}

// The fast construction relies on the sort order; a vector that is not
// sorted (a finite site after a non-finite one) is refused, not read wrongly.
TEST(CompactToQuadEdges, DeclinesAFiniteSiteAfterANonFiniteOne) {
    std::mt19937 rng(12);
    SiteSet sites(uniform(2000, rng));
    Site nan(std::nanf(""), 0.0f);
    std::vector<Site*> unsorted = sites.sorted();
    unsorted.insert(unsorted.begin() + 1000, &nan);
    const std::size_t liveBefore = QuadEdge::liveCount();
    QuadEdge* left = nullptr;
    QuadEdge* right = nullptr;
    EXPECT_FALSE(CompactToQuadEdges::triangulateWithStrips(unsorted, &left, &right));
    EXPECT_EQ(left, nullptr);
    EXPECT_EQ(QuadEdge::liveCount(), liveBefore);
}

TEST(CompactToQuadEdges, NearlyCocircularSitesAreDecidedExactly) {
    for (std::size_t n : {200u, 3000u}) {
        for (double phase : {0.0, 0.3}) {
            compare(SiteFamilies::floatCircle(n, 2.0, phase), Expect::Either,
                    "float circle " + std::to_string(n));
        }
    }
}

} // namespace
