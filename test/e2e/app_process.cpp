#include "app_process.h"

#include <cstdlib>

namespace e2e {

std::unique_ptr<TestSupport::ChildProcess> startApp(const std::string& executable,
                                                    const std::string& preload, long fixedTime) {
    // A sanitizer build of the program would refuse a preloaded library ahead
    // of its runtime.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string asanOptions = std::string(asan != nullptr ? asan : "") +
                                    (asan != nullptr && *asan != '\0' ? ":" : "") +
                                    "verify_asan_link_order=0";
    TestSupport::ChildOptions options;
    options.environment = {{"LD_PRELOAD", preload},
                           {"E2E_FIXED_TIME", std::to_string(fixedTime)},
                           {"ASAN_OPTIONS", asanOptions}};
    return std::make_unique<TestSupport::ChildProcess>(std::vector<std::string>{executable},
                                                       options);
}

} // namespace e2e
