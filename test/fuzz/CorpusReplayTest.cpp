// Every committed fuzz input, seeds and reproducers of past findings alike,
// must pass all checks of a fuzz round.
#include "SiteDecoder.h"
#include "TriangulationRound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

TEST(FuzzCorpus, EveryCommittedInputPassesTheChecks) {
    std::vector<std::filesystem::path> inputs;
    for (const auto& entry : std::filesystem::directory_iterator(TESSARO_FUZZ_CORPUS_DIR)) {
        inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    ASSERT_GE(inputs.size(), 10u) << "the seed corpus is missing";
    for (const auto& path : inputs) {
        const std::vector<std::uint8_t> bytes = readBytes(path);
        EXPECT_EQ(
            TessaroFuzz::checkFuzzInput(TessaroFuzz::decodeFuzzInput(bytes.data(), bytes.size())),
            "")
            << path.filename();
    }
}

} // namespace
