#include "edgealgebra/EdgeWalker.h"
#include "SiteSets.h"
#include "edgealgebra/DelaunayTriangulation.h"
#include "edgealgebra/QuadEdge.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using EdgeAlgebra::DelaunayTriangulation;
using EdgeAlgebra::EdgeWalker;
using EdgeAlgebra::QuadEdge;

namespace {

std::set<QuadEdge*> keys(const std::map<QuadEdge*, char>& edges) {
    std::set<QuadEdge*> result;
    for (const auto& entry : edges) {
        result.insert(entry.first);
    }
    return result;
}

TEST(EdgeWalker, NullStartCollectsNothing) {
    EdgeWalker walker(nullptr);
    EXPECT_TRUE(walker.getEdges().empty());
}

TEST(EdgeWalker, KeysAreCanonicalValuesAreZeroCharacters) {
    std::mt19937 rng(7);
    SiteSet sites(SiteFamilies::randomGrid(40, rng));
    DelaunayTriangulation triangulation(sites.sorted());
    EdgeWalker walker(triangulation.getLeftEdge());
    const std::map<QuadEdge*, char> edges = walker.getEdges();
    ASSERT_FALSE(edges.empty());
    for (const auto& [key, value] : edges) {
        EXPECT_EQ(key->canonical(), key);
        EXPECT_EQ(value, '0');
        EXPECT_EQ(key->rot()->org(), nullptr) << "the walk left a mark behind";
        EXPECT_EQ(key->invRot()->org(), nullptr);
    }
    EXPECT_EQ(EdgeWalker(triangulation.getLeftEdge()).getEdges(), edges) << "a second walk differs";
}

TEST(EdgeWalker, SameKeysFromEveryStartEdge) {
    std::mt19937 rng(11);
    SiteSet sites(SiteFamilies::randomGrid(25, rng));
    DelaunayTriangulation triangulation(sites.sorted());
    const std::set<QuadEdge*> expected = keys(EdgeWalker(triangulation.getLeftEdge()).getEdges());
    for (QuadEdge* key : expected) {
        EXPECT_EQ(keys(EdgeWalker(key).getEdges()), expected);
        EXPECT_EQ(keys(EdgeWalker(key->sym()).getEdges()), expected);
    }
    EXPECT_EQ(keys(EdgeWalker(triangulation.getRightEdge()).getEdges()), expected);
}

TEST(EdgeWalker, ReturnsIndependentCopies) {
    std::mt19937 rng(13);
    SiteSet sites(SiteFamilies::randomGrid(10, rng));
    DelaunayTriangulation triangulation(sites.sorted());
    EdgeWalker walker(triangulation.getLeftEdge());
    std::map<QuadEdge*, char> first = walker.getEdges();
    const std::map<QuadEdge*, char> untouched = first;
    first.clear();
    EXPECT_EQ(walker.getEdges(), untouched);
}

// A chain of edges far longer than a recursive walk could follow on the call
// stack: every edge leads on only through its destination.
TEST(EdgeWalker, WalksAVeryLongChain) {
    constexpr int kEdges = 300000;
    std::vector<QuadEdge*> chain{new QuadEdge};
    for (int i = 1; i < kEdges; ++i) {
        QuadEdge* next = new QuadEdge;
        chain.back()->sym()->splice(next);
        chain.push_back(next);
    }
    EXPECT_EQ(EdgeWalker(chain.front()).getEdges().size(), static_cast<std::size_t>(kEdges));
    for (QuadEdge* e : chain) {
        delete e;
    }
}

} // namespace
