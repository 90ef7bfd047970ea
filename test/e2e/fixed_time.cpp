// Preloaded into the program under test: its clock, as std::time sees it,
// stands still at the value of E2E_FIXED_TIME (or at a default), so the seed
// of its random sites is known to the test. Only time() is replaced; the
// clocks GLUT and the C library use for timing are left alone.
#include <cstdlib>
#include <ctime>

extern "C" std::time_t time(std::time_t* result) noexcept {
    const char* value = std::getenv("E2E_FIXED_TIME");
    const std::time_t now = value != nullptr ? std::strtol(value, nullptr, 10) : 1000000000;
    if (result != nullptr) {
        *result = now;
    }
    return now;
}
