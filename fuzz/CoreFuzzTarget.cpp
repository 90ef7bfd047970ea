// libFuzzer entry: every input is decoded into sites and run through the core
// and the scene; any fault the checks find aborts, so the fuzzer keeps the
// input as a crash reproducer.
#include "SiteDecoder.h"
#include "TriangulationRound.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string fault = TessaroFuzz::checkFuzzInput(TessaroFuzz::decodeFuzzInput(data, size));
    if (!fault.empty()) {
        std::fprintf(stderr, "tessaro fuzz: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
