#include "edgealgebra/Triangulate.h"

#include "construction/CompactConstruction.h"
#include "construction/SegmentConstraints.h"
#include "parallel/ForkJoin.h"
#include "results/FlatTriangulation.h"
#include "sorting/CoordinateOrder.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace EdgeAlgebra {

namespace {

// The caller's coordinates x0, y0, x1, y1, ..., wherever they are held.
template <typename Coordinate>
class CoordinateView {
public:
    CoordinateView(const Coordinate* data, std::size_t size) : m_data(data), m_size(size) {}
    const Coordinate& operator[](std::size_t i) const { return m_data[i]; }
    const Coordinate* data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    const Coordinate* m_data;
    std::size_t m_size;
};

// Four records per quad, three quads per site, in 32-bit record numbers.
constexpr std::size_t kMaxSites = static_cast<std::size_t>((std::uint64_t{1} << 32) / 16);

template <typename Coordinate>
void checkCoordinates(CoordinateView<Coordinate> coords) {
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
// order (the sort is stable). The others, when asked for, go to duplicates.
template <typename Coordinate>
ScratchVector<std::uint32_t> distinctFiniteSites(CoordinateView<Coordinate> coords,
                                                 std::vector<Duplicate>* duplicates = nullptr) {
    const std::size_t n = coords.size() / 2;
    const auto x = [coords](std::uint32_t i) { return coords[2 * std::size_t{i}]; };
    const auto y = [coords](std::uint32_t i) { return coords[2 * std::size_t{i} + 1]; };
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
    // Coincident sites are neighbours in sorted order, and their x keys are
    // equal: only then are the coordinates themselves read.
    std::uint64_t previousKey = ~std::uint64_t{0};
    for (const std::uint64_t item : items) {
        const auto i = static_cast<std::uint32_t>(item);
        const std::uint64_t key = item >> 32;
        if (key != previousKey || x(order.back()) != x(i) || y(order.back()) != y(i)) {
            order.push_back(i);
        } else if (duplicates != nullptr) {
            duplicates->push_back({i, order.back()});
        }
        previousKey = key;
    }
    return order;
}

// The sites' coordinates gathered in sorted order, in chunks on up to
// `threads` threads.
template <typename Coordinate>
PageArray<CompactVertex<Coordinate>> verticesInOrder(CoordinateView<Coordinate> coords,
                                                     const ScratchVector<std::uint32_t>& order,
                                                     unsigned threads) {
    constexpr std::size_t kChunk = std::size_t{1} << 16;
    PageArray<CompactVertex<Coordinate>> vertices(order.size());
    ForkJoin::forEachRange(threads, order.size(), kChunk, [&](std::size_t begin, std::size_t end) {
        for (std::size_t k = begin; k < end; ++k) {
            const std::uint32_t i = order[k];
            vertices[k] = {coords[2 * std::size_t{i}], coords[2 * std::size_t{i} + 1], i};
        }
    });
    return vertices;
}

// The canonical triangulation: by strips for many sites, by vertical cuts for
// fewer (the two give the same, the triangulation being unique).
template <typename Coordinate>
CompactTriangulation<Coordinate> build(CoordinateView<Coordinate> coords,
                                       const ScratchVector<std::uint32_t>& order,
                                       unsigned threads) {
    PageArray<CompactVertex<Coordinate>> vertices = verticesInOrder(coords, order, threads);
    if (order.size() >= CompactConstruction::kMinimumStripSites) {
        CompactTriangulation<Coordinate> built;
        CompactConstruction::buildWithStrips<Coordinate, Cocircular::Canonical>(vertices, built,
                                                                                threads);
        return built;
    }
    return CompactConstruction::buildWithVerticalCuts<Coordinate, Cocircular::Canonical>(
        std::move(vertices), threads);
}

template <typename Coordinate>
Triangulation triangulateCoordinates(CoordinateView<Coordinate> coords, unsigned threads) {
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

template <typename Coordinate>
Triangulation triangulateWithSegments(CoordinateView<Coordinate> coords,
                                      const std::vector<std::uint32_t>& segments,
                                      unsigned threads) {
    checkCoordinates(coords);
    const std::vector<SiteSegment> checked =
        checkedSegments(coords.data(), coords.size(), segments);
    threads = ForkJoin::threadCount(threads);
    CompactTriangulation<Coordinate> built;
    std::vector<Duplicate> duplicates;
    {
        const ScratchVector<std::uint32_t> order = distinctFiniteSites(coords, &duplicates);
        if (order.size() < 2) {
            return {};
        }
        built = build(coords, order, threads);
    }
    std::vector<std::uint32_t> segmentOf;
    try {
        segmentOf =
            insertSegments(built, vertexSegments(checked, built, duplicates, coords.size() / 2));
    } catch (const SegmentsCross& crossing) {
        throw CrossingSegments(crossing.first, crossing.second);
    }
    return flatten(std::move(built), threads, &segmentOf);
}

} // namespace

Triangulation triangulate(const float* coords, std::size_t count, unsigned threads) {
    return triangulateCoordinates(CoordinateView<float>(coords, count), threads);
}

Triangulation triangulate(const double* coords, std::size_t count, unsigned threads) {
    return triangulateCoordinates(CoordinateView<double>(coords, count), threads);
}

Triangulation triangulate(const float* coords, std::size_t count,
                          const std::vector<std::uint32_t>& segments, unsigned threads) {
    return triangulateWithSegments(CoordinateView<float>(coords, count), segments, threads);
}

Triangulation triangulate(const double* coords, std::size_t count,
                          const std::vector<std::uint32_t>& segments, unsigned threads) {
    return triangulateWithSegments(CoordinateView<double>(coords, count), segments, threads);
}

Triangulation triangulate(const std::vector<float>& coords, unsigned threads) {
    return triangulate(coords.data(), coords.size(), threads);
}

Triangulation triangulate(const std::vector<double>& coords, unsigned threads) {
    return triangulate(coords.data(), coords.size(), threads);
}

Triangulation triangulate(const std::vector<float>& coords,
                          const std::vector<std::uint32_t>& segments, unsigned threads) {
    return triangulate(coords.data(), coords.size(), segments, threads);
}

Triangulation triangulate(const std::vector<double>& coords,
                          const std::vector<std::uint32_t>& segments, unsigned threads) {
    return triangulate(coords.data(), coords.size(), segments, threads);
}

} // namespace EdgeAlgebra
