#pragma once

#include <cstdint>
#include <string>

namespace TessaroFuzz {

// Limits of one soak run: it stops at whichever comes first.
struct SoakConfig {
    std::uint64_t maxRounds = 1000000;
    double maxSeconds = 60.0;
    std::uint64_t seed = 1;
    int minSites = 2;
    int maxSites = 30;
    // Audit every k-th triangulation in full (1 audits all); the others are
    // still walked and counted.
    std::uint64_t auditEvery = 1;
};

struct SoakReport {
    std::uint64_t rounds = 0;
    std::uint64_t sites = 0;
    std::uint64_t edges = 0;
    std::uint64_t audited = 0;
    std::uint64_t maxLiveQuads = 0; // the most quad-edges alive at once
    std::uint64_t liveAtEnd = 0;    // quad-edges alive after the last round
    double seconds = 0.0;
    std::string fault; // empty when every round held
};

// Random site sets as the program makes them (multiples of 1/4096 in [-4, 4),
// sizes minSites to maxSites), each sorted, triangulated, walked, audited and
// destroyed; after every round the live quad-edge count must be back where it
// started. Stops at the first fault.
SoakReport runSoak(const SoakConfig& config);

} // namespace TessaroFuzz
