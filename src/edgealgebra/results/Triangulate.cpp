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

template <typename Coordinate>
void checkCoordinates(const std::vector<Coordinate>& coords) {
    if (coords.size() % 2 != 0) {
        throw std::invalid_argument("triangulate: coords holds x, y pairs, but its length (" +
                                    std::to_string(coords.size()) + ") is odd");
    }
    if (coords.size() / 2 > kMaxSites) {
        throw std::length_error("triangulate: at most " + std::to_string(kMaxSites) +
                                " sites can be triangulated");
    }
}

// The indices of the sites that take part, in siteLess order: the finite
// ones, and of each group with equal coordinates only the first in index
// order (the sort is stable).
template <typename Coordinate>
ScratchVector<std::uint32_t> distinctFiniteSites(const std::vector<Coordinate>& coords) {
    const std::size_t n = coords.size() / 2;
    const auto x = [&coords](std::uint32_t i) { return coords[2 * std::size_t{i}]; };
    const auto y = [&coords](std::uint32_t i) { return coords[2 * std::size_t{i} + 1]; };
    ScratchVector<std::uint64_t> items;
    items.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        if (std::isfinite(x(i)) && std::isfinite(y(i))) {
            items.push_back(coordinateSortItem(x(i), i));
        }
    }
    // Equal keys are nearly equal x (equal x for floats).
    sortByCoordinates(items, [&x, &y](std::uint32_t a, std::uint32_t b) {
        if (x(a) != x(b)) {
            return x(a) < x(b);
        }
        return y(a) != y(b) ? y(a) < y(b) : a < b;
    });
    ScratchVector<std::uint32_t> order;
    order.reserve(items.size());
    for (const std::uint64_t item : items) {
        const auto i = static_cast<std::uint32_t>(item);
        if (order.empty() || x(order.back()) != x(i) || y(order.back()) != y(i)) {
            order.push_back(i);
        }
    }
    return order;
}

template <typename Coordinate>
PageArray<CompactVertex<Coordinate>> verticesInOrder(const std::vector<Coordinate>& coords,
                                                     const ScratchVector<std::uint32_t>& order) {
    PageArray<CompactVertex<Coordinate>> vertices(order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        const std::uint32_t i = order[k];
        vertices[k] = {coords[2 * std::size_t{i}], coords[2 * std::size_t{i} + 1], i};
    }
    return vertices;
}

// The fast construction where it can prove its result; vertical cuts where it
// cannot, and for fewer sites.
template <typename Coordinate>
CompactTriangulation<Coordinate> build(const std::vector<Coordinate>& coords,
                                       const ScratchVector<std::uint32_t>& order,
                                       unsigned threads) {
    PageArray<CompactVertex<Coordinate>> vertices = verticesInOrder(coords, order);
    if (order.size() >= CompactConstruction::kMinimumStripSites) {
        CompactTriangulation<Coordinate> built;
        if (CompactConstruction::buildWithStrips(vertices, built, threads)) {
            return built;
        }
        vertices = verticesInOrder(coords, order);
    }
    return CompactConstruction::buildWithVerticalCuts(std::move(vertices), threads);
}

template <typename Coordinate>
Triangulation triangulateCoordinates(const std::vector<Coordinate>& coords, unsigned threads) {
    checkCoordinates(coords);
    threads = ForkJoin::threadCount(threads);
    CompactTriangulation<Coordinate> built;
    {
        const ScratchVector<std::uint32_t> order = distinctFiniteSites(coords);
        if (order.size() < 2) {
            return {};
        }
        built = build(coords, order, threads);
    }
    return flatten(std::move(built), threads);
}

} // namespace

Triangulation triangulate(const std::vector<float>& coords, unsigned threads) {
    return triangulateCoordinates(coords, threads);
}

Triangulation triangulate(const std::vector<double>& coords, unsigned threads) {
    return triangulateCoordinates(coords, threads);
}

} // namespace EdgeAlgebra
