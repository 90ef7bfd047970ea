#include "SoakRun.h"

#include "SubdivisionAudit.h"
#include "edgealgebra/DelaunayTriangulation.h"
#include "edgealgebra/EdgeWalker.h"
#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/Site.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <vector>

using EdgeAlgebra::QuadEdge;
using EdgeAlgebra::Site;

namespace TessaroFuzz {

namespace {

constexpr int kGridSteps = 32768; // [-4, 4) in steps of 1/4096

// One round; returns the fault, if any. Sites live in `storage`, reused from
// round to round so the soak measures the core rather than the allocator.
std::string runRound(std::mt19937_64& random, const SoakConfig& config, std::vector<Site>& storage,
                     SoakReport& report) {
    std::uniform_int_distribution<int> size(config.minSites, config.maxSites);
    std::uniform_int_distribution<int> step(0, kGridSteps - 1);
    storage.resize(static_cast<std::size_t>(size(random)));
    std::vector<Site*> sorted;
    for (Site& s : storage) {
        s.x = -4.0f + static_cast<float>(step(random)) / 4096.0f;
        s.y = -4.0f + static_cast<float>(step(random)) / 4096.0f;
        sorted.push_back(&s);
    }
    std::sort(sorted.begin(), sorted.end(), EdgeAlgebra::siteLess);

    const std::size_t liveBefore = QuadEdge::liveCount();
    std::string fault;
    {
        EdgeAlgebra::DelaunayTriangulation triangulation(sorted);
        report.maxLiveQuads = std::max<std::uint64_t>(report.maxLiveQuads, QuadEdge::liveCount());
        const std::size_t edges =
            EdgeAlgebra::EdgeWalker(triangulation.getLeftEdge()).getEdges().size();
        report.edges += edges;
        if (report.rounds % config.auditEvery == 0) {
            fault =
                auditSubdivision(triangulation.getLeftEdge(), triangulation.getRightEdge(), sorted)
                    .fault;
            ++report.audited;
        }
    }
    if (fault.empty() && QuadEdge::liveCount() != liveBefore) {
        fault = "quad-edges left alive after a triangulation was destroyed";
    }
    report.sites += storage.size();
    return fault;
}

} // namespace

SoakReport runSoak(const SoakConfig& config) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    std::mt19937_64 random(config.seed);
    std::vector<Site> storage;
    SoakReport report;
    while (report.rounds < config.maxRounds && report.fault.empty()) {
        // The clock is read once per 1024 rounds; a round takes microseconds.
        if (report.rounds % 1024 == 0 && elapsed() >= config.maxSeconds) {
            break;
        }
        report.fault = runRound(random, config, storage, report);
        ++report.rounds;
    }
    report.seconds = elapsed();
    report.liveAtEnd = QuadEdge::liveCount();
    return report;
}

} // namespace TessaroFuzz
