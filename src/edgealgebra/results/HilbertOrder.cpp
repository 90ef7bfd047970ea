#include "results/HilbertOrder.h"

#include "sorting/RadixSort.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace EdgeAlgebra {

namespace {

constexpr int kOrder = 11; // bits per axis
constexpr std::uint32_t kLast = (1u << kOrder) - 1;

// The distance along the Hilbert curve of cell (x, y), both below 2^kOrder.
std::uint32_t hilbertIndex(std::uint32_t x, std::uint32_t y) {
    std::uint32_t d = 0;
    for (std::uint32_t s = 1u << (kOrder - 1); s > 0; s >>= 1) {
        const std::uint32_t rx = (x & s) != 0 ? 1 : 0;
        const std::uint32_t ry = (y & s) != 0 ? 1 : 0;
        d += s * s * ((3 * rx) ^ ry);
        if (ry == 0) { // turn the quadrant so the curve runs on through it
            if (rx == 1) {
                x = kLast - x;
                y = kLast - y;
            }
            std::swap(x, y);
        }
    }
    return d;
}

struct Keyed {
    std::uint32_t key;
    std::uint32_t position;
};

} // namespace

std::vector<std::uint32_t> hilbertOrder(const double* xy, std::size_t count) {
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
    constexpr double kCells = 1u << kOrder;
    const double xscale = xmax > xmin ? (kCells - 1) / (xmax - xmin) : 0;
    const double yscale = ymax > ymin ? (kCells - 1) / (ymax - ymin) : 0;
    std::vector<Keyed> keyed(count), buffer(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double x = xy[2 * i], y = xy[2 * i + 1];
        const bool finite = std::isfinite(x) && std::isfinite(y);
        keyed[i] = {finite ? hilbertIndex(static_cast<std::uint32_t>((x - xmin) * xscale),
                                          static_cast<std::uint32_t>((y - ymin) * yscale))
                           : (1u << (2 * kOrder)) - 1,
                    static_cast<std::uint32_t>(i)};
    }
    radixSortByKey(
        keyed.data(), keyed.data() + count, buffer.data(), [](const Keyed& k) { return k.key; },
        2 * kOrder);
    std::vector<std::uint32_t> order(count);
    std::transform(keyed.begin(), keyed.end(), order.begin(),
                   [](const Keyed& k) { return k.position; });
    return order;
}

} // namespace EdgeAlgebra
