#include "SoakRun.h"

#include <gtest/gtest.h>

namespace {

TEST(Soak, ShortRunFreesEveryQuadEdgeAndKeepsItsSizes) {
    TessaroFuzz::SoakConfig config;
    config.maxRounds = 3000;
    config.maxSeconds = 120.0;
    config.seed = 42;
    const TessaroFuzz::SoakReport report = TessaroFuzz::runSoak(config);
    EXPECT_EQ(report.fault, "");
    EXPECT_EQ(report.rounds, 3000u);
    EXPECT_EQ(report.audited, 3000u);
    EXPECT_EQ(report.liveAtEnd, 0u);
    EXPECT_GE(report.sites, 2u * report.rounds);
    EXPECT_LE(report.sites, 30u * report.rounds);
    // At most 3n - 6 edges for n >= 3 sites, and at least n - 1.
    EXPECT_GE(report.edges, report.sites - report.rounds);
    EXPECT_LE(report.edges, 3 * report.sites);
    EXPECT_GT(report.maxLiveQuads, 0u);
    EXPECT_LE(report.maxLiveQuads, 3u * 30u);
}

TEST(Soak, TwoSiteRoundsMakeOneEdgeEach) {
    TessaroFuzz::SoakConfig config;
    config.maxRounds = 500;
    config.minSites = 2;
    config.maxSites = 2;
    config.auditEvery = 7;
    const TessaroFuzz::SoakReport report = TessaroFuzz::runSoak(config);
    EXPECT_EQ(report.fault, "");
    EXPECT_EQ(report.edges, 500u);
    EXPECT_EQ(report.audited, 72u); // rounds 0, 7, ..., 497
    EXPECT_EQ(report.liveAtEnd, 0u);
}

TEST(Soak, StopsAtTheTimeLimit) {
    TessaroFuzz::SoakConfig config;
    config.maxRounds = 1000000000;
    config.maxSeconds = 0.0;
    const TessaroFuzz::SoakReport report = TessaroFuzz::runSoak(config);
    EXPECT_EQ(report.rounds, 0u);
    EXPECT_EQ(report.liveAtEnd, 0u);
}

} // namespace
