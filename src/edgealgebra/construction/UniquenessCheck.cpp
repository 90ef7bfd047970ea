#include "construction/UniquenessCheck.h"

#include "parallel/ForkJoin.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace EdgeAlgebra {
namespace CompactConstruction {

template <typename Coordinate>
bool isStrictlyDelaunay(const CompactTriangulation<Coordinate>& t, unsigned threads) {
    using Record = CompactSubdivision::Record;
    const CompactSubdivision& edges = t.edges;
    std::vector<bool> onHull(edges.quadSlots(), false);
    Record e = t.first;
    do {
        onHull[CompactSubdivision::quadOf(e)] = true;
        e = edges.rprev(e);
    } while (e != t.first);

    constexpr std::uint32_t kChunkQuads = 1u << 16;
    constexpr std::uint32_t kPrefetchDistance = 16;
    const std::uint32_t slots = edges.quadSlots();
    std::atomic<bool> strict{true};
    ForkJoin::forEachRange(
        threads, slots, kChunkQuads, [&](std::uint32_t begin, std::uint32_t end) {
            for (std::uint32_t q = begin; q < end && strict.load(std::memory_order_relaxed); ++q) {
                // The two far vertices come from the quads next around the
                // edge's ends, scattered in memory: fetch them a few quads ahead.
                const std::uint32_t ahead = q + kPrefetchDistance;
                if (ahead < slots && edges.isLive(ahead)) {
                    edges.prefetch(edges.onext(4 * ahead + 1));
                    edges.prefetch(edges.onext(4 * ahead + 3));
                }
                if (!edges.isLive(q) || onHull[q]) {
                    continue;
                }
                const Record edge = 4 * q;
                const std::uint32_t left = edges.dest(edges.lnext(edge));
                const std::uint32_t right = edges.dest(edges.lnext(CompactSubdivision::sym(edge)));
                if (compactInCircleSign(t.vertices.data(), edges.org(edge), edges.dest(edge), left,
                                        right) >= 0) {
                    strict = false;
                }
            }
        });
    return strict;
}

template bool isStrictlyDelaunay(const CompactTriangulation<float>&, unsigned);
template bool isStrictlyDelaunay(const CompactTriangulation<double>&, unsigned);

} // namespace CompactConstruction
} // namespace EdgeAlgebra
