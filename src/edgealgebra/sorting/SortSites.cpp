#include "edgealgebra/SortSites.h"

#include "memory/HugePageAllocator.h"
#include "sorting/CoordinateOrder.h"

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
            items.push_back(coordinateSortItem(site->x, static_cast<std::uint32_t>(i)));
        } else {
            nonFinite.push_back(sites[i]);
        }
    }
    // Equal keys are equal x: a run is ordered by y, then by position.
    sortByCoordinates(items, [&sites](std::uint32_t a, std::uint32_t b) {
        const std::uint32_t ya = floatSortKey(sites[a]->y), yb = floatSortKey(sites[b]->y);
        return ya != yb ? ya < yb : a < b;
    });

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
