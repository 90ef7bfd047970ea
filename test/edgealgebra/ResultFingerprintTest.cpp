// The triangulations of fixed inputs, reduced to one number each. The expected
// values were recorded with the first, plainly written core (five allocations
// per quad, recursive walk through the ordered map); the faster core must give
// exactly the same edges and hull edges on every input.
#include "SiteSets.h"
#include "edgealgebra/DelaunayTriangulation.h"
#include "edgealgebra/EdgeWalker.h"
#include "edgealgebra/QuadEdge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <tuple>

using EdgeAlgebra::DelaunayTriangulation;
using EdgeAlgebra::QuadEdge;
using EdgeAlgebra::Site;

namespace {

using Key = std::tuple<float, float, float, float>;

Key directed(const QuadEdge* e) {
    return {e->org()->x, e->org()->y, e->dest()->x, e->dest()->y};
}

// FNV-1a over the bit patterns of the coordinates.
class Fingerprint {
public:
    void add(float v) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        for (int i = 0; i < 4; ++i) {
            m_hash = (m_hash ^ ((bits >> (8 * i)) & 0xffu)) * 0x100000001b3ull;
        }
    }
    void add(const Key& k) {
        add(std::get<0>(k));
        add(std::get<1>(k));
        add(std::get<2>(k));
        add(std::get<3>(k));
    }
    std::uint64_t value() const { return m_hash; }

private:
    std::uint64_t m_hash = 0xcbf29ce484222325ull;
};

// Undirected edges in coordinate order, then both hull edges with direction.
std::uint64_t fingerprintOf(const Coordinates& coordinates, unsigned threads) {
    SiteSet sites(coordinates);
    DelaunayTriangulation triangulation(sites.sorted(), threads);
    std::vector<Key> edges;
    for (const auto& entry : EdgeAlgebra::EdgeWalker(triangulation.getLeftEdge()).getEdges()) {
        const Key forward = directed(entry.first), backward = directed(entry.first->sym());
        edges.push_back(std::min(forward, backward));
    }
    std::sort(edges.begin(), edges.end());
    Fingerprint fingerprint;
    for (const Key& e : edges) {
        fingerprint.add(e);
    }
    fingerprint.add(directed(triangulation.getLeftEdge()));
    fingerprint.add(directed(triangulation.getRightEdge()));
    return fingerprint.value();
}

Coordinates uniformFloats(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    return SiteFamilies::uniformFloats(n, rng);
}

TEST(ResultFingerprint, SameTriangulationsAsThePlainCore) {
    std::mt19937 rng(77);
    struct Case {
        const char* name;
        Coordinates sites;
        std::uint64_t expected;
    };
    const Case cases[] = {
        {"uniform 1000", uniformFloats(1000, 1), 0x9a6419e56c752e13ull},
        {"uniform 5000", uniformFloats(5000, 2), 0x918af7ae2d627bc9ull},
        // Large enough for the fast construction; recorded with vertical cuts.
        {"uniform 20000", uniformFloats(20000, 3), 0xea4a34073cd7fb7aull},
        {"lattice 30 x 30", SiteFamilies::lattice(30, 30), 0x36499e57790ab0c3ull},
        {"float circle 200", SiteFamilies::floatCircle(200, 2.0, 0.0), 0x714cab624817b39eull},
        {"exact circle with centre", SiteFamilies::exactCircle(true), 0x7ecdda76ebda1e4dull},
        {"vertical lines", SiteFamilies::verticalLines(300, 3, rng), 0xeaf5a0597cab30ceull},
        // Large enough for halves and strips built on separate threads.
        {"uniform 40000", uniformFloats(40000, 4), 0xc22ff3d684695917ull},
        {"lattice 150 x 150", SiteFamilies::lattice(150, 150), 0x147b6c331e0be972ull},
    };
    // The same on every number of threads (small inputs stay on one).
    for (const Case& c : cases) {
        for (unsigned threads : {1u, 2u, 5u}) {
            EXPECT_EQ(fingerprintOf(c.sites, threads), c.expected) << c.name << ", " << threads;
            if (c.sites.size() < 16384) {
                break;
            }
        }
    }
}

} // namespace
