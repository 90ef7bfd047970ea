// The constructions when an allocation fails part way, on any thread: the
// failure reaches the caller as the original exception and nothing built so
// far is left allocated (the live quad count here; the sanitizer build,
// where every quad is an allocation of its own, checks every other block
// too). A failure to start a thread is no failure of the construction, which
// then goes on with the threads it has: either outcome is accepted, but a
// finished construction must be the right one.
#include "SiteSets.h"
#include "edgealgebra/DelaunayTriangulation.h"
#include "edgealgebra/EdgeWalker.h"
#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/Triangulate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>
#include <random>

namespace {

std::atomic<long> allocationCount{0};
// The allocation (by count) that fails; negative: none does. Only that one
// fails, like a transient shortage: the clean-up after it may allocate.
std::atomic<long> failingAllocation{-1};

void* allocate(std::size_t size, std::size_t alignment) {
    if (allocationCount++ == failingAllocation.load()) {
        throw std::bad_alloc();
    }
    const std::size_t bytes = (size + alignment - 1) / alignment * alignment;
    if (void* p = std::aligned_alloc(alignment, bytes == 0 ? alignment : bytes)) {
        return p;
    }
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) {
    return allocate(size, alignof(std::max_align_t));
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocate(size, static_cast<std::size_t>(alignment));
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}

namespace {

using EdgeAlgebra::QuadEdge;

// Runs `construct` failing at allocations spread over all it makes; each run
// must throw std::bad_alloc or succeed with `expected` (returned by
// construct), and leave no quad alive.
void expectCleanFailures(const std::function<std::size_t()>& construct) {
    const long before = allocationCount;
    const std::size_t expected = construct();
    const long total = allocationCount - before;
    ASSERT_GT(total, 0);
    std::vector<long> failures;
    const long step = std::max(1L, total / 25);
    for (long i = 0; i < total; i += (i < 5 || i > total - 5) ? 1 : step) {
        failures.push_back(i);
    }
    std::size_t thrown = 0;
    for (const long failAt : failures) {
        SCOPED_TRACE(::testing::Message() << "failure at allocation " << failAt << " of " << total);
        failingAllocation = allocationCount + failAt;
        try {
            const std::size_t result = construct();
            failingAllocation = -1;
            EXPECT_EQ(result, expected);
        } catch (const std::bad_alloc&) {
            failingAllocation = -1;
            ++thrown;
        }
        ASSERT_EQ(QuadEdge::liveCount(), 0u);
    }
    EXPECT_GT(thrown, failures.size() / 2);
}

std::size_t triangulatorEdges(const Coordinates& coordinates, unsigned threads) {
    SiteSet sites(coordinates);
    EdgeAlgebra::DelaunayTriangulation triangulation(sites.sorted(), threads);
    return EdgeAlgebra::EdgeWalker(triangulation.getLeftEdge()).getEdges().size();
}

TEST(ConstructionFailure, FreesEverythingBuiltAndPassesTheFailureOn) {
    std::mt19937 rng(9);
    const struct {
        const char* name;
        Coordinates sites;
        unsigned threads;
    } cases[] = {
        {"vertical cuts, one thread", SiteFamilies::randomGrid(300, rng), 1},
        {"vertical cuts in parallel", SiteFamilies::lattice(130, 130), 2},
        {"strips in parallel", SiteFamilies::uniformFloats(20000, rng), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectCleanFailures([&c] { return triangulatorEdges(c.sites, c.threads); });
    }
    std::vector<float> coords;
    for (const auto& [x, y] : SiteFamilies::uniformFloats(20000, rng)) {
        coords.push_back(x);
        coords.push_back(y);
    }
    SCOPED_TRACE("flat arrays in parallel");
    expectCleanFailures([&coords] { return EdgeAlgebra::triangulate(coords, 2).triangles.size(); });
}

} // namespace
