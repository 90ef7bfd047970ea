// The Triangulate command when one of the scene's own allocations fails: the
// failure propagates, the scene stays a consistent Editing scene with its
// sites unchanged, nothing is left allocated (the sanitizer build checks the
// sites, the core's live count the quad-edges), and a later triangulate works.
//
// The allocations made inside the triangulator's constructor and destructor
// are the core's own affair and are left out: the command's allocations are
// counted, and only those before the triangulator is built and those after it
// is built but before it is destroyed are made to fail.
#include "SceneTestSupport.h"
#include "edgealgebra/DelaunayTriangulation.h"
#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/Site.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>

namespace {

long allocationCount = 0;
// The allocation (by count) that fails; negative means none does. Only that
// one fails, like a transient shortage: the clean-up after it may allocate.
long failingAllocation = -1;

} // namespace

void* operator new(std::size_t size) {
    if (allocationCount++ == failingAllocation) {
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace DelaunayTest {
namespace {

template <typename Action>
long allocationsOf(Action action) {
    const long before = allocationCount;
    action();
    return allocationCount - before;
}

struct CoreAllocations {
    long construction;
    long destruction;
};

// What the triangulator itself allocates for these points.
CoreAllocations coreAllocationsFor(const std::vector<Point>& points) {
    std::vector<std::unique_ptr<EdgeAlgebra::Site>> owned;
    std::vector<EdgeAlgebra::Site*> sites;
    for (const Point& p : points) {
        owned.push_back(std::make_unique<EdgeAlgebra::Site>(p.x, p.y));
        sites.push_back(owned.back().get());
    }
    std::sort(sites.begin(), sites.end(), EdgeAlgebra::siteLess);
    CoreAllocations core{};
    std::optional<EdgeAlgebra::DelaunayTriangulation> triangulation;
    core.construction = allocationsOf([&] { triangulation.emplace(sites); });
    core.destruction = allocationsOf([&] { triangulation.reset(); });
    return core;
}

TEST(TriangulateAllocation, FailureOfAnyOwnAllocationLeavesTheSceneAsItWas) {
    Scene generated(3u);
    for (int i = 0; i < 5; ++i) {
        generated.addSites();
    }
    const std::vector<Point> points = generated.getPoints();
    Scene reference(points, 3u);
    reference.triangulate();

    const CoreAllocations core = coreAllocationsFor(points);
    const long total = allocationsOf([&] { Scene(points, 3u).triangulate(); }) -
                       allocationsOf([&] { Scene(points, 3u); });
    // The site vector's room and one allocation per site come first.
    const long beforeCore = static_cast<long>(points.size()) + 1;
    const long afterCoreEnd = total - core.destruction;
    std::vector<long> failures;
    for (long i = 0; i < beforeCore; ++i) {
        failures.push_back(i);
    }
    for (long i = beforeCore + core.construction; i < afterCoreEnd; ++i) {
        failures.push_back(i);
    }
    ASSERT_GT(failures.size(), 100u);

    for (long failAt : failures) {
        SCOPED_TRACE(::testing::Message() << "failure at allocation " << failAt);
        Scene scene(points, 3u);
        const SceneSnapshot before(scene);
        failingAllocation = allocationCount + failAt;
        EXPECT_THROW(scene.triangulate(), std::bad_alloc);
        failingAllocation = -1;
        ASSERT_EQ(SceneSnapshot(scene), before);
        ASSERT_EQ(EdgeAlgebra::QuadEdge::liveCount(), 0u);

        // Nothing of the failed attempt is left to be duplicated.
        scene.triangulate();
        EXPECT_TRUE(scene.isTriangulated());
        EXPECT_EQ(scene.getLines().size(), reference.getLines().size());
        EXPECT_EQ(scene.getCircles().size(), reference.getCircles().size());
    }
}

} // namespace
} // namespace DelaunayTest
