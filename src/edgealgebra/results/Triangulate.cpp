#include "edgealgebra/Triangulate.h"

#include "construction/CompactConstruction.h"
#include "parallel/ForkJoin.h"
#include "results/FlatTriangulation.h"
#include "sorting/CoordinateOrder.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace EdgeAlgebra {

namespace {

// Four records per quad, three quads per site, in 32-bit record numbers.
constexpr std::size_t kMaxSites = (std::size_t{1} << 32) / 16;

// The indices of the sites that take part, in siteLess order: the finite
// ones, and of each group with equal coordinates only the first in index
// order (the sort is stable).
ScratchVector<std::uint32_t> distinctFiniteSites(const std::vector<float>& coords) {
    const std::size_t n = coords.size() / 2;
    ScratchVector<std::uint64_t> items;
    items.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const float x = coords[2 * i], y = coords[2 * i + 1];
        if (std::isfinite(x) && std::isfinite(y)) {
            items.push_back(coordinateSortItem(x, static_cast<std::uint32_t>(i)));
        }
    }
    sortByCoordinates(items,
                      [&coords](std::uint32_t i) { return floatSortKey(coords[2 * i + 1]); });
    ScratchVector<std::uint32_t> order;
    order.reserve(items.size());
    for (const std::uint64_t item : items) {
        const auto i = static_cast<std::uint32_t>(item);
        if (!order.empty() && coords[2 * order.back()] == coords[2 * i] &&
            coords[2 * order.back() + 1] == coords[2 * i + 1]) {
            continue;
        }
        order.push_back(i);
    }
    return order;
}

PageArray<CompactVertex> verticesInOrder(const std::vector<float>& coords,
                                         const ScratchVector<std::uint32_t>& order) {
    PageArray<CompactVertex> vertices(order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        const std::uint32_t i = order[k];
        vertices[k] = {coords[2 * i], coords[2 * i + 1], i};
    }
    return vertices;
}

// The fast construction where it can prove its result; vertical cuts where it
// cannot, and for fewer sites.
CompactTriangulation build(const std::vector<float>& coords,
                           const ScratchVector<std::uint32_t>& order, unsigned threads) {
    PageArray<CompactVertex> vertices = verticesInOrder(coords, order);
    if (order.size() >= CompactConstruction::kMinimumStripSites) {
        CompactTriangulation built;
        if (CompactConstruction::buildWithStrips(vertices, built, threads)) {
            return built;
        }
        vertices = verticesInOrder(coords, order);
    }
    return CompactConstruction::buildWithVerticalCuts(std::move(vertices), threads);
}

} // namespace

Triangulation triangulate(const std::vector<float>& coords, unsigned threads) {
    threads = ForkJoin::threadCount(threads);
    if (coords.size() % 2 != 0) {
        throw std::invalid_argument("triangulate: coords holds x, y pairs, but its length (" +
                                    std::to_string(coords.size()) + ") is odd");
    }
    if (coords.size() / 2 > kMaxSites) {
        throw std::length_error("triangulate: at most " + std::to_string(kMaxSites) +
                                " sites can be triangulated");
    }
    CompactTriangulation built;
    {
        const ScratchVector<std::uint32_t> order = distinctFiniteSites(coords);
        if (order.size() < 2) {
            return {};
        }
        built = build(coords, order, threads);
    }
    return flatten(std::move(built), threads);
}

} // namespace EdgeAlgebra
