#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace EdgeAlgebra {

// A key whose unsigned integer order is the order of the float: the sign bit
// set for non-negative numbers, all bits flipped for negative ones. -0 and +0
// share a key, as they compare equal. (NaN has no place in this order.)
inline std::uint32_t floatSortKey(float value) {
    value += 0.0f; // -0 becomes +0
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

// The same for doubles, in 64 bits.
inline std::uint64_t doubleSortKey(double value) {
    value += 0.0; // -0 becomes +0
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return (bits & 0x8000000000000000ull) != 0 ? ~bits : bits | 0x8000000000000000ull;
}

inline std::uint32_t sortKey(float value) {
    return floatSortKey(value);
}
inline std::uint64_t sortKey(double value) {
    return doubleSortKey(value);
}

// Stable least-significant-digit radix sort of [first, last) by key(item), an
// unsigned integer below 2^keyBits, in digits of 11 bits: one read counts
// every digit, then each digit takes one scattering pass, skipped when all
// items share it. `buffer` holds at least last - first items; the sorted items
// end up in [first, last).
template <typename T, typename Key>
void radixSortByKey(T* first, T* last, T* buffer, Key key, int keyBits) {
    constexpr int kDigitBits = 11;
    constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
    const auto n = static_cast<std::size_t>(last - first);
    const int passes = (keyBits + kDigitBits - 1) / kDigitBits;
    const auto digit = [](auto itemKey, int pass) {
        return static_cast<std::size_t>(itemKey >> (pass * kDigitBits)) & (kBuckets - 1);
    };
    std::vector<std::array<std::size_t, kBuckets>> counts(static_cast<std::size_t>(passes));
    for (const T* item = first; item != last; ++item) {
        const auto itemKey = key(*item);
        for (int pass = 0; pass < passes; ++pass) {
            ++counts[static_cast<std::size_t>(pass)][digit(itemKey, pass)];
        }
    }
    T* from = first;
    T* to = buffer;
    for (int pass = 0; pass < passes; ++pass) {
        std::array<std::size_t, kBuckets>& count = counts[static_cast<std::size_t>(pass)];
        if (std::find(count.begin(), count.end(), n) != count.end()) {
            continue; // a digit all items share would move nothing
        }
        std::size_t start = 0;
        for (std::size_t& c : count) {
            const std::size_t size = c;
            c = start;
            start += size;
        }
        for (const T* item = from; item != from + n; ++item) {
            to[count[digit(key(*item), pass)]++] = *item;
        }
        std::swap(from, to);
    }
    if (from != first) {
        std::copy(from, from + n, first);
    }
}

} // namespace EdgeAlgebra
