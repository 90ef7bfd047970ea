#include "SiteSets.h"
#include "SubdivisionCheck.h"
#include "edgealgebra/DelaunayTriangulation.h"
#include "edgealgebra/EdgeWalker.h"
#include "edgealgebra/QuadEdge.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <string>
#include <thread>

using EdgeAlgebra::DelaunayTriangulation;
using EdgeAlgebra::EdgeWalker;
using EdgeAlgebra::QuadEdge;
using EdgeAlgebra::Site;

namespace {

using Point = std::pair<float, float>;
using Segment = std::pair<Point, Point>;

Point at(const Site* s) {
    return {s->x, s->y};
}

// Undirected edges as ordered pairs of end points.
std::set<Segment> edgesOf(const DelaunayTriangulation& triangulation) {
    std::set<Segment> result;
    for (const auto& entry : EdgeWalker(triangulation.getLeftEdge()).getEdges()) {
        const Point a = at(entry.first->org()), b = at(entry.first->dest());
        result.insert(a < b ? Segment(a, b) : Segment(b, a));
    }
    return result;
}

Segment directed(const QuadEdge* e) {
    return {at(e->org()), at(e->dest())};
}

struct SmallCase {
    std::string name;
    Coordinates sites;
    std::set<Segment> edges;
    Segment leftEdge;
    Segment rightEdge;
};

TEST(DelaunayTriangulation, SmallCasesGiveTheExpectedEdgesAndHullEdges) {
    const SmallCase cases[] = {
        {"two sites", {{0, 0}, {1, 0}}, {{{0, 0}, {1, 0}}}, {{0, 0}, {1, 0}}, {{1, 0}, {0, 0}}},
        {"three collinear",
         {{0, 0}, {1, 0}, {2, 0}},
         {{{0, 0}, {1, 0}}, {{1, 0}, {2, 0}}},
         {{0, 0}, {1, 0}},
         {{2, 0}, {1, 0}}},
        {"three turning clockwise when sorted",
         {{0, 0}, {1, 0}, {0, 1}},
         {{{0, 0}, {0, 1}}, {{0, 0}, {1, 0}}, {{0, 1}, {1, 0}}},
         {{0, 0}, {1, 0}},
         {{1, 0}, {0, 0}}},
        {"three turning counterclockwise",
         {{0, 0}, {1, 1}, {2, 0}},
         {{{0, 0}, {1, 1}}, {{0, 0}, {2, 0}}, {{1, 1}, {2, 0}}},
         {{0, 0}, {2, 0}},
         {{2, 0}, {0, 0}}},
        {"unit square",
         {{0, 0}, {0, 1}, {1, 0}, {1, 1}},
         {{{0, 0}, {0, 1}}, {{0, 0}, {1, 0}}, {{0, 1}, {1, 1}}, {{1, 0}, {1, 1}}, {{0, 1}, {1, 0}}},
         {{0, 0}, {1, 0}},
         {{1, 1}, {1, 0}}},
        {"five on a line",
         {{3, 0}, {0, 0}, {4, 0}, {1, 0}, {2, 0}},
         {{{0, 0}, {1, 0}}, {{1, 0}, {2, 0}}, {{2, 0}, {3, 0}}, {{3, 0}, {4, 0}}},
         {{0, 0}, {1, 0}},
         {{4, 0}, {3, 0}}},
        {"four on a vertical line",
         {{0, 0}, {0, 1}, {0, 2}, {0, 3}},
         {{{0, 0}, {0, 1}}, {{0, 1}, {0, 2}}, {{0, 2}, {0, 3}}},
         {{0, 0}, {0, 1}},
         {{0, 3}, {0, 2}}},
        {"cross of five",
         {{0, 0}, {2, 0}, {1, 1}, {1, -1}, {1, 0}},
         {{{0, 0}, {1, 0}},
          {{1, -1}, {1, 0}},
          {{1, 0}, {1, 1}},
          {{1, 0}, {2, 0}},
          {{0, 0}, {1, 1}},
          {{1, 1}, {2, 0}},
          {{1, -1}, {2, 0}},
          {{0, 0}, {1, -1}}},
         {{0, 0}, {1, -1}},
         {{2, 0}, {1, -1}}},
    };
    for (const SmallCase& t : cases) {
        SCOPED_TRACE(t.name);
        SiteSet sites(t.sites);
        DelaunayTriangulation triangulation(sites.sorted());
        EXPECT_EQ(edgesOf(triangulation), t.edges);
        EXPECT_EQ(directed(triangulation.getLeftEdge()), t.leftEdge);
        EXPECT_EQ(directed(triangulation.getRightEdge()), t.rightEdge);
        EXPECT_EQ(SubdivisionCheck::findDelaunayFault(triangulation, sites.sorted()), "");
    }
}

TEST(DelaunayTriangulation, FewerThanTwoSitesBuildNothing) {
    const std::size_t before = QuadEdge::liveCount();
    for (const Coordinates& coordinates : {Coordinates{}, Coordinates{{1.5f, -2.0f}}}) {
        SiteSet sites(coordinates);
        DelaunayTriangulation triangulation(sites.sorted());
        EXPECT_EQ(triangulation.getLeftEdge(), nullptr);
        EXPECT_EQ(triangulation.getRightEdge(), nullptr);
        EXPECT_EQ(QuadEdge::liveCount(), before);
    }
}

// Rounded in-circle tests on these four once deleted the left half's only
// edge and left the stored hull edge pointing at freed memory.
TEST(DelaunayTriangulation, FourNearlyCocircularSitesGiveAConsistentTriangulation) {
    SiteSet sites({{-2.0f, 2.4492937e-16f},
                   {-1.41421354f, -1.41421354f},
                   {1.41421354f, -1.41421354f},
                   {2.0f, 0.0f}});
    DelaunayTriangulation triangulation(sites.sorted());
    EXPECT_EQ(SubdivisionCheck::findDelaunayFault(triangulation, sites.sorted()), "");
    EXPECT_EQ(edgesOf(triangulation).size(), 5u);
}

// The sites may be gone before the triangulation: its destructor reads none.
TEST(DelaunayTriangulation, FreesEveryQuadExactlyOnceWithoutReadingSites) {
    const std::size_t before = QuadEdge::liveCount();
    std::mt19937 rng(99);
    for (std::size_t n : {2u, 3u, 4u, 30u, 500u}) {
        auto sites = std::make_unique<SiteSet>(SiteFamilies::randomGrid(n, rng));
        auto triangulation = std::make_unique<DelaunayTriangulation>(sites->sorted());
        const std::size_t edges = EdgeWalker(triangulation->getLeftEdge()).getEdges().size();
        EXPECT_EQ(QuadEdge::liveCount(), before + edges) << "deleted edges are freed at once";
        sites.reset();
        triangulation.reset();
        EXPECT_EQ(QuadEdge::liveCount(), before);
    }
}

// Quads come from per-thread pools; a triangulation built on one thread may be
// destroyed on another.
TEST(DelaunayTriangulation, BuildsAndFreesOnSeveralThreads) {
    const std::size_t before = QuadEdge::liveCount();
    std::vector<std::unique_ptr<DelaunayTriangulation>> built(4);
    std::vector<std::unique_ptr<SiteSet>> sites(4);
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < built.size(); ++i) {
        workers.emplace_back([&, i] {
            std::mt19937 rng(static_cast<unsigned>(i));
            for (int round = 0; round < 5; ++round) {
                SiteSet scratch(SiteFamilies::randomGrid(300, rng));
                DelaunayTriangulation triangulation(scratch.sorted());
            }
            sites[i] = std::make_unique<SiteSet>(SiteFamilies::randomGrid(300, rng));
            built[i] = std::make_unique<DelaunayTriangulation>(sites[i]->sorted());
        });
    }
    for (std::thread& t : workers) {
        t.join();
    }
    for (std::size_t i = 0; i < built.size(); ++i) {
        EXPECT_EQ(SubdivisionCheck::findDelaunayFault(*built[i], sites[i]->sorted()), "");
    }
    built.clear();
    EXPECT_EQ(QuadEdge::liveCount(), before);
}

} // namespace
