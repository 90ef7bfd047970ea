// tessaro_soak: millions of random triangulations of the program's kind of
// site sets, with the live quad-edge count checked after each. Prints one
// summary line per field and exits non-zero on the first fault.
//
//   tessaro_soak [--rounds N] [--seconds S] [--seed K] [--audit-every K]
#include "SoakRun.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool parseArguments(int argc, char** argv, TessaroFuzz::SoakConfig& config) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--rounds") {
            config.maxRounds = std::strtoull(value, nullptr, 10);
        } else if (name == "--seconds") {
            config.maxSeconds = std::strtod(value, nullptr);
        } else if (name == "--seed") {
            config.seed = std::strtoull(value, nullptr, 10);
        } else if (name == "--audit-every") {
            config.auditEvery = std::max<unsigned long long>(1, std::strtoull(value, nullptr, 10));
        } else {
            return false;
        }
    }
    return argc % 2 == 1;
}

} // namespace

int main(int argc, char** argv) {
    TessaroFuzz::SoakConfig config;
    config.maxRounds = 5000000;
    config.maxSeconds = 600.0;
    if (!parseArguments(argc, argv, config)) {
        std::fprintf(
            stderr,
            "usage: tessaro_soak [--rounds N] [--seconds S] [--seed K] [--audit-every K]\n");
        return 2;
    }
    const TessaroFuzz::SoakReport report = TessaroFuzz::runSoak(config);
    std::printf("rounds: %llu\nsites: %llu\nedges: %llu\naudited: %llu\n",
                static_cast<unsigned long long>(report.rounds),
                static_cast<unsigned long long>(report.sites),
                static_cast<unsigned long long>(report.edges),
                static_cast<unsigned long long>(report.audited));
    std::printf("max live quad-edges: %llu\nlive quad-edges at end: %llu\nseconds: %.1f\n",
                static_cast<unsigned long long>(report.maxLiveQuads),
                static_cast<unsigned long long>(report.liveAtEnd), report.seconds);
    std::printf("rounds per second: %.0f\n", report.rounds / std::max(report.seconds, 1e-9));
    if (!report.fault.empty()) {
        std::printf("FAULT in round %llu: %s\n", static_cast<unsigned long long>(report.rounds),
                    report.fault.c_str());
        return 1;
    }
    if (report.liveAtEnd != 0) {
        std::printf("FAULT: quad-edges still alive at the end\n");
        return 1;
    }
    std::printf("result: ok\n");
    return 0;
}
