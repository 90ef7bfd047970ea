#pragma once

#include "sorting/RadixSort.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace EdgeAlgebra {

// Sorts pointers into the order of std::less. Large arrays are sorted by their
// addresses with a least-significant-digit radix sort, which needs three or
// four linear passes where a comparison sort needs twenty or more.
template <typename T, typename Allocator>
void sortPointers(std::vector<T*, Allocator>& pointers) {
    // Quads written out by the triangulator lie in the order a traversal
    // meets them: one linear check saves the sort.
    if (std::is_sorted(pointers.begin(), pointers.end(), std::less<T*>())) {
        return;
    }
    constexpr std::size_t kSmall = 1 << 12;
    if (pointers.size() < kSmall) {
        std::sort(pointers.begin(), pointers.end(), std::less<T*>());
        return;
    }
    std::uintptr_t lowest = UINTPTR_MAX, highest = 0;
    for (T* p : pointers) {
        const std::uintptr_t a = reinterpret_cast<std::uintptr_t>(p);
        lowest = std::min(lowest, a);
        highest = std::max(highest, a);
    }
    // Addresses are ordered as integers; the common low zero bits (alignment)
    // carry no order, and neither do the bits above the spread.
    int shift = 0;
    std::uintptr_t anyBits = 0;
    for (T* p : pointers) {
        anyBits |= reinterpret_cast<std::uintptr_t>(p) - lowest;
    }
    while (shift < 64 && ((anyBits >> shift) & 1u) == 0) {
        ++shift;
    }
    const std::uintptr_t spread = (highest - lowest) >> shift;
    int keyBits = 0;
    while (keyBits < 64 && (spread >> keyBits) != 0) {
        ++keyBits;
    }
    std::vector<T*, Allocator> buffer(pointers.size());
    radixSortByKey(
        pointers.data(), pointers.data() + pointers.size(), buffer.data(),
        [lowest, shift](T* p) { return (reinterpret_cast<std::uintptr_t>(p) - lowest) >> shift; },
        keyBits);
}

} // namespace EdgeAlgebra
