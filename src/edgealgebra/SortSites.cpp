#include "edgealgebra/SortSites.h"

#include "edgealgebra/HugePageAllocator.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>

namespace EdgeAlgebra {

namespace {

// Below this size a comparison sort is as fast and needs no buffers; below
// the smaller one an insertion sort avoids even the stable sort's buffer.
constexpr std::size_t kSmall = 256;
constexpr std::size_t kTiny = 32;

// Stable: a site moves in front of another only when strictly less.
void insertionSort(std::vector<Site*>& sites) {
    for (std::size_t i = 1; i < sites.size(); ++i) {
        Site* const site = sites[i];
        std::size_t j = i;
        for (; j > 0 && siteLess(site, sites[j - 1]); --j) {
            sites[j] = sites[j - 1];
        }
        sites[j] = site;
    }
}

// An unsigned key whose integer order is the order of the float: the sign bit
// set for non-negative numbers, all bits flipped for negative ones. -0 and +0
// share a key, as they compare equal.
std::uint32_t coordinateKey(float value) {
    value += 0.0f; // -0 becomes +0
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

// Each item carries the x key in its upper half and the site's input
// position in its lower half; three passes of 11, 11 and 10 bits sort by the
// upper half, stably.
constexpr int kDigitBits = 11;
constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
constexpr int kPasses = 3;

std::size_t digitOf(std::uint64_t item, int pass) {
    return static_cast<std::size_t>(item >> (32 + pass * kDigitBits)) & (kBuckets - 1);
}

void radixSortByUpperHalf(ScratchVector<std::uint64_t>& items) {
    const std::size_t n = items.size();
    std::vector<std::array<std::size_t, kBuckets>> counts(kPasses);
    for (auto& c : counts) {
        c.fill(0);
    }
    for (std::uint64_t item : items) {
        for (int pass = 0; pass < kPasses; ++pass) {
            ++counts[pass][digitOf(item, pass)];
        }
    }
    ScratchVector<std::uint64_t> buffer(n);
    for (int pass = 0; pass < kPasses; ++pass) {
        std::array<std::size_t, kBuckets>& count = counts[pass];
        // A digit that all items share would move nothing.
        if (std::find(count.begin(), count.end(), n) != count.end()) {
            continue;
        }
        std::size_t start = 0;
        for (std::size_t& c : count) {
            const std::size_t size = c;
            c = start;
            start += size;
        }
        for (std::uint64_t item : items) {
            buffer[count[digitOf(item, pass)]++] = item;
        }
        items.swap(buffer);
    }
}

// Runs of items with equal x are ordered by y, then by input position (which
// keeps the order stable). Runs are rare and short for scattered sites; a long
// run (sites on a vertical line) still takes n log n.
void sortRunsByY(ScratchVector<std::uint64_t>& items, const std::vector<Site*>& sites) {
    const auto upperHalf = [](std::uint64_t item) { return item >> 32; };
    const auto yThenPosition = [&sites](std::uint64_t a, std::uint64_t b) {
        const std::uint32_t ya = coordinateKey(sites[static_cast<std::uint32_t>(a)]->y);
        const std::uint32_t yb = coordinateKey(sites[static_cast<std::uint32_t>(b)]->y);
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

} // namespace

void sortSites(std::vector<Site*>& sites) {
    const std::size_t n = sites.size();
    if (n < kTiny) {
        insertionSort(sites);
        return;
    }
    if (n < kSmall || n > std::numeric_limits<std::uint32_t>::max()) {
        std::stable_sort(sites.begin(), sites.end(), siteLess);
        return;
    }
    // Non-finite sites are rare: they are set aside in input order and
    // sorted by siteLess itself.
    ScratchVector<std::uint64_t> items;
    items.reserve(n);
    std::vector<Site*> nonFinite;
    for (std::size_t i = 0; i < n; ++i) {
        const Site* site = sites[i];
        if (site->isFinite()) {
            items.push_back(std::uint64_t{coordinateKey(site->x)} << 32 | i);
        } else {
            nonFinite.push_back(sites[i]);
        }
    }
    radixSortByUpperHalf(items);
    sortRunsByY(items, sites);

    ScratchVector<Site*> sorted;
    sorted.reserve(n);
    for (std::uint64_t item : items) {
        sorted.push_back(sites[static_cast<std::uint32_t>(item)]);
    }
    std::stable_sort(nonFinite.begin(), nonFinite.end(), siteLess);
    std::copy(nonFinite.begin(), nonFinite.end(),
              std::copy(sorted.begin(), sorted.end(), sites.begin()));
}

} // namespace EdgeAlgebra
