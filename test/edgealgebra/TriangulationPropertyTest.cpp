#include "SiteSets.h"
#include "SubdivisionCheck.h"
#include "edgealgebra/DelaunayTriangulation.h"
#include "edgealgebra/EdgeWalker.h"
#include "edgealgebra/QuadEdge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <set>

using EdgeAlgebra::DelaunayTriangulation;
using EdgeAlgebra::QuadEdge;

namespace {

// Triangulates, checks, and checks that destruction frees every quad. Of
// coincident sites only the first in sorted order takes part, so the result
// must be the Delaunay triangulation of those.
void expectDelaunay(const Coordinates& coordinates) {
    const std::size_t before = QuadEdge::liveCount();
    {
        SiteSet sites(coordinates);
        std::vector<EdgeAlgebra::Site*> takingPart;
        for (EdgeAlgebra::Site* s : sites.sorted()) {
            if (takingPart.empty() || takingPart.back()->x != s->x ||
                takingPart.back()->y != s->y) {
                takingPart.push_back(s);
            }
        }
        DelaunayTriangulation triangulation(sites.sorted());
        EXPECT_EQ(SubdivisionCheck::findDelaunayFault(triangulation, takingPart), "")
            << coordinates.size() << " sites";
    }
    EXPECT_EQ(QuadEdge::liveCount(), before);
}

// The undirected edges by their end points.
std::set<std::array<float, 4>> edgeCoordinates(const Coordinates& coordinates) {
    SiteSet sites(coordinates);
    DelaunayTriangulation triangulation(sites.sorted());
    std::set<std::array<float, 4>> edges;
    for (const auto& entry : EdgeAlgebra::EdgeWalker(triangulation.getLeftEdge()).getEdges()) {
        std::array<float, 4> e{entry.first->org()->x, entry.first->org()->y, entry.first->dest()->x,
                               entry.first->dest()->y};
        if (std::make_pair(e[2], e[3]) < std::make_pair(e[0], e[1])) {
            e = {e[2], e[3], e[0], e[1]};
        }
        edges.insert(e);
    }
    return edges;
}

TEST(DelaunayProperties, RandomGridSites) {
    std::mt19937 rng(1);
    for (std::size_t n = 2; n <= 300; n += (n < 40 ? 1 : 23)) {
        for (int repeat = 0; repeat < 3; ++repeat) {
            expectDelaunay(SiteFamilies::randomGrid(n, rng));
        }
    }
}

TEST(DelaunayProperties, CollinearSites) {
    std::mt19937 rng(2);
    for (std::size_t n = 2; n <= 120; n += 7) {
        expectDelaunay(SiteFamilies::collinear(n, rng));
    }
}

TEST(DelaunayProperties, SitesOnVerticalLines) {
    std::mt19937 rng(3);
    for (int lines = 1; lines <= 4; ++lines) {
        for (std::size_t n = 2; n <= 80; n += 9) {
            expectDelaunay(SiteFamilies::verticalLines(n, lines, rng));
        }
    }
}

TEST(DelaunayProperties, LatticesFullOfCocircularSites) {
    for (int w = 1; w <= 9; ++w) {
        for (int h = 1; h <= 9; ++h) {
            if (w * h >= 2) {
                expectDelaunay(SiteFamilies::lattice(w, h));
            }
        }
    }
}

TEST(DelaunayProperties, SitesExactlyOnACircle) {
    expectDelaunay(SiteFamilies::exactCircle(false));
    expectDelaunay(SiteFamilies::exactCircle(true));
}

TEST(DelaunayProperties, FloatSitesNearlyOnACircle) {
    for (std::size_t n = 4; n <= 64; n += 3) {
        for (double radius : {0.001, 1.0, 2.0, 3.999}) {
            expectDelaunay(SiteFamilies::floatCircle(n, radius, 0.0));
            expectDelaunay(SiteFamilies::floatCircle(n, radius, 0.1 * static_cast<double>(n)));
        }
    }
}

// Every subset of the float points of circles with 8 or 12 points, and random
// subsets of larger ones: the four-site case is one of them.
TEST(DelaunayProperties, SubsetsOfFloatSitesNearlyOnACircle) {
    for (const auto& [n, radius] :
         {std::pair(8u, 0.5), std::pair(8u, 2.0), std::pair(8u, 3.0), std::pair(12u, 2.0)}) {
        const Coordinates circle = SiteFamilies::floatCircle(n, radius, 0.0);
        for (unsigned mask = 0; mask < (1u << circle.size()); ++mask) {
            Coordinates subset;
            for (std::size_t i = 0; i < circle.size(); ++i) {
                if ((mask >> i) & 1u) {
                    subset.push_back(circle[i]);
                }
            }
            expectDelaunay(subset);
        }
    }
    std::mt19937 rng(4);
    for (std::size_t n : {16u, 24u, 36u}) {
        const Coordinates circle = SiteFamilies::floatCircle(n, 2.0, 0.0);
        for (int repeat = 0; repeat < 50; ++repeat) {
            Coordinates subset = circle;
            std::shuffle(subset.begin(), subset.end(), rng);
            subset.resize(std::uniform_int_distribution<std::size_t>(4, n)(rng));
            expectDelaunay(subset);
        }
    }
}

TEST(DelaunayProperties, CoincidentSitesAreTriangulatedOnce) {
    std::mt19937 rng(5);
    for (int k = 1; k <= 6; ++k) {
        for (std::size_t n = 2; n <= 60; n += 3) {
            expectDelaunay(SiteFamilies::withDuplicates(n, k, rng));
        }
    }
    // Every site twice: the same triangulation as every site once, also above
    // the size where the strips take over.
    for (std::size_t n : {50u, 20000u}) {
        const Coordinates once = SiteFamilies::randomGrid(n, rng);
        Coordinates doubled = once;
        doubled.insert(doubled.end(), once.begin(), once.end());
        EXPECT_EQ(edgeCoordinates(doubled), edgeCoordinates(once)) << n << " sites";
    }
}

} // namespace
