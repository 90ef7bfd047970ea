#pragma once

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
    constexpr int kDigitBits = 11;
    constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
    std::vector<T*, Allocator> buffer(pointers.size());
    for (; shift < 64 && ((highest - lowest) >> shift) != 0; shift += kDigitBits) {
        std::vector<std::size_t> start(kBuckets + 1, 0);
        auto digit = [&](T* p) {
            return ((reinterpret_cast<std::uintptr_t>(p) - lowest) >> shift) & (kBuckets - 1);
        };
        for (T* p : pointers) {
            ++start[digit(p) + 1];
        }
        for (std::size_t b = 1; b <= kBuckets; ++b) {
            start[b] += start[b - 1];
        }
        for (T* p : pointers) {
            buffer[start[digit(p)]++] = p;
        }
        pointers.swap(buffer);
    }
}

} // namespace EdgeAlgebra
