#include "edgealgebra/SortSites.h"

#include "sorting/RadixSort.h"
#include "structure/HugePageAllocator.h"

#include <algorithm>
#include <cstdint>
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

// Each item carries the x key in its upper half and the site's input
// position in its lower half; sorted stably by the upper half.
void sortByX(ScratchVector<std::uint64_t>& items) {
    ScratchVector<std::uint64_t> buffer(items.size());
    radixSortByKey(
        items.data(), items.data() + items.size(), buffer.data(),
        [](std::uint64_t item) { return static_cast<std::uint32_t>(item >> 32); }, 32);
}

// Runs of items with equal x are ordered by y, then by input position (which
// keeps the order stable). Runs are rare and short for scattered sites; a long
// run (sites on a vertical line) still takes n log n.
void sortRunsByY(ScratchVector<std::uint64_t>& items, const std::vector<Site*>& sites) {
    const auto upperHalf = [](std::uint64_t item) { return item >> 32; };
    const auto yThenPosition = [&sites](std::uint64_t a, std::uint64_t b) {
        const std::uint32_t ya = floatSortKey(sites[static_cast<std::uint32_t>(a)]->y);
        const std::uint32_t yb = floatSortKey(sites[static_cast<std::uint32_t>(b)]->y);
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
            items.push_back(std::uint64_t{floatSortKey(site->x)} << 32 | i);
        } else {
            nonFinite.push_back(sites[i]);
        }
    }
    sortByX(items);
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
