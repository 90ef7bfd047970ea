#include "results/MortonOrder.h"

#include "sorting/RadixSort.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace EdgeAlgebra {

namespace {

constexpr int kBits = 11; // per axis
constexpr double kCells = 1u << kBits;

// The low 16 bits of v moved to the even bit positions.
std::uint32_t spread(std::uint32_t v) {
    v &= 0xffffu;
    v = (v | (v << 8)) & 0x00ff00ffu;
    v = (v | (v << 4)) & 0x0f0f0f0fu;
    v = (v | (v << 2)) & 0x33333333u;
    v = (v | (v << 1)) & 0x55555555u;
    return v;
}

struct Keyed {
    std::uint32_t key;
    std::uint32_t position;
};

} // namespace

ScratchVector<std::uint32_t> mortonOrder(const double* xy, std::size_t count) {
    double xmin = std::numeric_limits<double>::infinity(), ymin = xmin, xmax = -xmin, ymax = -xmin;
    for (std::size_t i = 0; i < count; ++i) {
        const double x = xy[2 * i], y = xy[2 * i + 1];
        if (std::isfinite(x) && std::isfinite(y)) {
            xmin = std::min(xmin, x);
            xmax = std::max(xmax, x);
            ymin = std::min(ymin, y);
            ymax = std::max(ymax, y);
        }
    }
    const double xscale = xmax > xmin ? (kCells - 1) / (xmax - xmin) : 0;
    const double yscale = ymax > ymin ? (kCells - 1) / (ymax - ymin) : 0;
    ScratchVector<Keyed> keyed(count), buffer(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double x = xy[2 * i], y = xy[2 * i + 1];
        const bool finite = std::isfinite(x) && std::isfinite(y);
        const std::uint32_t key =
            finite ? spread(static_cast<std::uint32_t>((x - xmin) * xscale)) |
                         spread(static_cast<std::uint32_t>((y - ymin) * yscale)) << 1
                   : (1u << (2 * kBits)) - 1;
        keyed[i] = {key, static_cast<std::uint32_t>(i)};
    }
    radixSortByKey(
        keyed.data(), keyed.data() + count, buffer.data(), [](const Keyed& k) { return k.key; },
        2 * kBits);
    ScratchVector<std::uint32_t> order(count);
    for (std::size_t k = 0; k < count; ++k) {
        order[k] = keyed[k].position;
    }
    return order;
}

} // namespace EdgeAlgebra
