#pragma once

#include "memory/HugePageAllocator.h"
#include "sorting/RadixSort.h"

#include <algorithm>
#include <cstdint>

namespace EdgeAlgebra {

// Sorts points into siteLess order (x, then y) in linear time: a radix sort
// on the bit patterns of the coordinates instead of a comparison sort.
//
// Each item carries a 32-bit key of a point's x in its upper half (x itself,
// or x rounded to float: any key that never decreases as x grows) and the
// point's position in its lower half. The items are sorted stably by key;
// each run of equal keys is then ordered by runLess(position, position),
// which compares the points by x, y and position. Points with equal
// coordinates thus keep their input order: the result is exactly that of a
// stable sort by siteLess.
template <typename RunLess>
void sortByCoordinates(ScratchVector<std::uint64_t>& items, RunLess runLess) {
    ScratchVector<std::uint64_t> buffer(items.size());
    radixSortByKey(
        items.data(), items.data() + items.size(), buffer.data(),
        [](std::uint64_t item) { return static_cast<std::uint32_t>(item >> 32); }, 32);

    // Runs are short for scattered points; a long run (points on a vertical
    // line) still takes n log n.
    constexpr std::ptrdiff_t kShortRun = 16;
    const auto upperHalf = [](std::uint64_t item) { return item >> 32; };
    const auto itemLess = [&runLess](std::uint64_t a, std::uint64_t b) {
        return runLess(static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b));
    };
    auto runBegin = items.begin();
    while (runBegin != items.end()) {
        auto runEnd = runBegin + 1;
        while (runEnd != items.end() && upperHalf(*runEnd) == upperHalf(*runBegin)) {
            ++runEnd;
        }
        if (runEnd - runBegin > kShortRun) {
            std::sort(runBegin, runEnd, itemLess);
        } else {
            // Short runs are common where many points share an x key (a
            // hundred million floats in a small square): sorted in place,
            // without the setting up of a general sort.
            for (auto next = runBegin + 1; next < runEnd; ++next) {
                const std::uint64_t item = *next;
                auto hole = next;
                for (; hole != runBegin && itemLess(item, *(hole - 1)); --hole) {
                    *hole = *(hole - 1);
                }
                *hole = item;
            }
        }
        runBegin = runEnd;
    }
}

// The item of a point at `position` with x: the key of x in single precision
// (exact for floats, rounded to nearest for doubles, which keeps the order).
template <typename Coordinate>
std::uint64_t coordinateSortItem(Coordinate x, std::uint32_t position) {
    return std::uint64_t{floatSortKey(static_cast<float>(x))} << 32 | position;
}

} // namespace EdgeAlgebra
