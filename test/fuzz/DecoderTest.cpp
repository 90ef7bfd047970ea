// The decoder must deliver what the fuzz target promises: only finite sites,
// and the degenerate families it claims (exact duplicates, exact collinear
// runs, exactly cocircular sets), for any bytes at all.
#include "SiteDecoder.h"
#include "edgealgebra/Site.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using TessaroFuzz::decodeFuzzInput;
using TessaroFuzz::FuzzInput;

namespace {

using Bytes = std::vector<std::uint8_t>;

FuzzInput decode(const Bytes& bytes) {
    return decodeFuzzInput(bytes.data(), bytes.size());
}

void appendFloat(Bytes& bytes, float value) {
    std::uint8_t raw[4];
    std::memcpy(raw, &value, 4);
    bytes.insert(bytes.end(), raw, raw + 4);
}

void appendGrid(Bytes& bytes, int x, int y) {
    bytes.push_back(1);
    for (int v : {x, y}) {
        bytes.push_back(static_cast<std::uint8_t>(v & 0xff));
        bytes.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
    }
}

EdgeAlgebra::Site site(const TessaroFuzz::SitePoint& p) {
    return EdgeAlgebra::Site(p.x, p.y);
}

TEST(SiteDecoder, ClampsRawNonFiniteFloatsAndReadsTheGrid) {
    Bytes bytes{0, 0};
    appendFloat(bytes, std::numeric_limits<float>::quiet_NaN());
    appendFloat(bytes, -std::numeric_limits<float>::infinity());
    appendGrid(bytes, 4096, -8192);
    const FuzzInput input = decode(bytes);
    ASSERT_EQ(input.sites.size(), 2u);
    EXPECT_EQ(input.sites[0].x, 0.0f);
    EXPECT_EQ(input.sites[0].y, -std::numeric_limits<float>::max());
    EXPECT_EQ(input.sites[1].x, 1.0f);
    EXPECT_EQ(input.sites[1].y, -2.0f);
    EXPECT_TRUE(input.nonFinite.empty());
}

TEST(SiteDecoder, MakesTheDegenerateFamiliesExactly) {
    // Header, then: three grid sites; duplicate of site 1; a collinear run of
    // 9 from (-100, 50)/4096 in steps (3, 1)/4096; all 20 points of the
    // radius-25 circle scaled by 2^0.
    Bytes bytes{0};
    appendGrid(bytes, 10, 20);
    appendGrid(bytes, -300, 7);
    appendGrid(bytes, 5, 5);
    bytes.insert(bytes.end(), {2, 1});
    bytes.insert(bytes.end(), {4 + 8 * 7, 0x9c, 0xff, 50, 0, 3, 1});
    bytes.insert(bytes.end(), {5, 0, 0, 0, 0, 16, 0xff, 0xff, 0x0f});
    const FuzzInput input = decode(bytes);
    ASSERT_EQ(input.sites.size(), 3u + 1 + 9 + 20);

    EXPECT_EQ(input.sites[3].x, input.sites[1].x);
    EXPECT_EQ(input.sites[3].y, input.sites[1].y);

    const EdgeAlgebra::Site a = site(input.sites[4]);
    const EdgeAlgebra::Site b = site(input.sites[12]);
    for (int i = 5; i < 12; ++i) {
        const EdgeAlgebra::Site s = site(input.sites[i]);
        EXPECT_FALSE(a.ccw(&b, &s) || a.ccw(&s, &b)) << "run site " << i;
    }

    const EdgeAlgebra::Site p = site(input.sites[13]);
    const EdgeAlgebra::Site q = site(input.sites[14]);
    const EdgeAlgebra::Site r = site(input.sites[15]);
    for (int i = 16; i < 33; ++i) {
        const EdgeAlgebra::Site s = site(input.sites[i]);
        EXPECT_FALSE(s.inCircle(&p, &q, &r) || s.inCircle(&p, &r, &q)) << "circle site " << i;
    }
}

TEST(SiteDecoder, HeaderAsksForNonFiniteSitesAndSnapping) {
    Bytes bytes{static_cast<std::uint8_t>(3 | 4 | (8 << 3))};
    appendGrid(bytes, 4096 + 1000, -2047);
    const FuzzInput input = decode(bytes);
    ASSERT_EQ(input.nonFinite.size(), 3u);
    for (const auto& p : input.nonFinite) {
        EXPECT_FALSE(std::isfinite(p.x) && std::isfinite(p.y));
    }
    ASSERT_EQ(input.sites.size(), 1u);
    EXPECT_EQ(input.sites[0].x, 1.0f); // snapped to whole units
    EXPECT_EQ(input.sites[0].y, -0.0f);
}

TEST(SiteDecoder, AnyBytesGiveAtMostTheCapOfFiniteSites) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 700);
    for (int round = 0; round < 500; ++round) {
        Bytes bytes(static_cast<std::size_t>(length(random)));
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(byte(random));
        }
        const FuzzInput input = decode(bytes);
        ASSERT_LE(input.sites.size(), TessaroFuzz::kMaxSites);
        for (const auto& p : input.sites) {
            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << "round " << round;
        }
        // Decoding is a pure function of the bytes.
        const FuzzInput again = decode(bytes);
        ASSERT_EQ(again.sites.size(), input.sites.size());
        ASSERT_EQ(std::memcmp(again.sites.data(), input.sites.data(),
                              input.sites.size() * sizeof input.sites[0]),
                  0);
    }
}

} // namespace
