#pragma once

#include "sorting/RadixSort.h"
#include "structure/HugePageAllocator.h"

#include <algorithm>
#include <cstdint>

namespace EdgeAlgebra {

// Sorts points into siteLess order (x, then y) in linear time: a radix sort
// on the bit patterns of the coordinates instead of a comparison sort.
//
// Each item carries a point's x key (floatSortKey) in its upper half and the
// point's position in its lower half. The items are sorted stably by x; runs
// of equal x are then ordered by y and by position, so points with equal
// coordinates keep their input order: the result is exactly that of a stable
// sort by siteLess. `yKeyOf(position)` gives the floatSortKey of a point's y.
template <typename YKey>
void sortByCoordinates(ScratchVector<std::uint64_t>& items, YKey yKeyOf) {
    ScratchVector<std::uint64_t> buffer(items.size());
    radixSortByKey(
        items.data(), items.data() + items.size(), buffer.data(),
        [](std::uint64_t item) { return static_cast<std::uint32_t>(item >> 32); }, 32);

    // Runs are rare and short for scattered points; a long run (points on a
    // vertical line) still takes n log n.
    const auto upperHalf = [](std::uint64_t item) { return item >> 32; };
    const auto yThenPosition = [&yKeyOf](std::uint64_t a, std::uint64_t b) {
        const std::uint32_t ya = yKeyOf(static_cast<std::uint32_t>(a));
        const std::uint32_t yb = yKeyOf(static_cast<std::uint32_t>(b));
        return ya != yb ? ya < yb : a < b;
    };
    auto runBegin = items.begin();
    while (runBegin != items.end()) {
        auto runEnd = runBegin + 1;
        while (runEnd != items.end() && upperHalf(*runEnd) == upperHalf(*runBegin)) {
            ++runEnd;
        }
        if (runEnd - runBegin > 1) {
            std::sort(runBegin, runEnd, yThenPosition);
        }
        runBegin = runEnd;
    }
}

inline std::uint64_t coordinateSortItem(float x, std::uint32_t position) {
    return std::uint64_t{floatSortKey(x)} << 32 | position;
}

} // namespace EdgeAlgebra
