#include "results/IndexedMesh.h"

#include "memory/PageArray.h"
#include "parallel/ForkJoin.h"
#include "results/MortonOrder.h"

#include <algorithm>

namespace EdgeAlgebra {

namespace {

// Indices per chunk of the passes below, which run on the build's threads.
constexpr std::size_t kChunk = 1 << 16;

ScratchVector<std::uint32_t> inverse(const std::vector<std::uint32_t>& order) {
    ScratchVector<std::uint32_t> position(order.size());
    for (std::uint32_t k = 0; k < order.size(); ++k) {
        position[order[k]] = k;
    }
    return position;
}

// An array of `size` items backed by huge pages where the kernel allows.
template <typename T>
std::vector<T> hugeArray(std::size_t size) {
    std::vector<T> array = PageMemory::reservedHugeVector<T>(size);
    array.resize(size);
    return array;
}

std::vector<std::uint32_t> asVector(const ScratchVector<std::uint32_t>& order) {
    std::vector<std::uint32_t> array = hugeArray<std::uint32_t>(order.size());
    std::copy(order.begin(), order.end(), array.begin());
    return array;
}

ScratchVector<double> centroids(const Triangulation& t, const std::vector<double>& coords,
                                unsigned threads) {
    ScratchVector<double> centres(2 * (t.triangles.size() / 3));
    ForkJoin::forEachRange(threads, t.triangles.size() / 3, kChunk,
                           [&](std::size_t begin, std::size_t end) {
                               for (std::size_t triangle = begin; triangle < end; ++triangle) {
                                   for (std::size_t k = 0; k < 3; ++k) {
                                       const std::size_t site = t.triangles[3 * triangle + k];
                                       centres[2 * triangle] += coords[2 * site] / 3;
                                       centres[2 * triangle + 1] += coords[2 * site + 1] / 3;
                                   }
                               }
                           });
    return centres;
}

} // namespace

std::vector<std::uint32_t> outgoingHalfedges(const Triangulation& t, std::size_t sites) {
    std::vector<std::uint32_t> outgoing(sites, kNone);
    for (std::uint32_t e = 0; e < t.triangles.size(); ++e) {
        std::uint32_t& out = outgoing[t.triangles[e]];
        if (out == kNone || t.halfedges[e] == kNone) {
            out = e;
        }
    }
    return outgoing;
}

IndexedMesh::IndexedMesh(const Triangulation& given, const std::vector<double>& coords,
                         unsigned threads)
    : originalSite(asVector(mortonOrder(coords.data(), coords.size() / 2))),
      originalTriangle(asVector(
          mortonOrder(centroids(given, coords, threads).data(), given.triangles.size() / 3))) {
    const ScratchVector<std::uint32_t> newSite = inverse(originalSite);
    const ScratchVector<std::uint32_t> newTriangle = inverse(originalTriangle);
    xy = hugeArray<double>(coords.size());
    ForkJoin::forEachRange(threads, originalSite.size(), kChunk,
                           [&](std::size_t begin, std::size_t end) {
                               for (std::size_t s = begin; s < end; ++s) {
                                   xy[2 * s] = coords[2 * std::size_t{originalSite[s]}];
                                   xy[2 * s + 1] = coords[2 * std::size_t{originalSite[s]} + 1];
                               }
                           });
    t.triangles = hugeArray<std::uint32_t>(given.triangles.size());
    t.halfedges = hugeArray<std::uint32_t>(given.halfedges.size());
    ForkJoin::forEachRange(
        threads, originalTriangle.size(), kChunk, [&](std::size_t begin, std::size_t end) {
            for (std::size_t triangle = begin; triangle < end; ++triangle) {
                for (std::uint32_t k = 0; k < 3; ++k) {
                    const std::uint32_t from = 3 * originalTriangle[triangle] + k;
                    const std::uint32_t opposite = given.halfedges[from];
                    t.triangles[3 * triangle + k] = newSite[given.triangles[from]];
                    t.halfedges[3 * triangle + k] =
                        opposite == kNone ? kNone : 3 * newTriangle[opposite / 3] + opposite % 3;
                }
            }
        });
    t.hull.reserve(given.hull.size());
    for (const std::uint32_t site : given.hull) {
        t.hull.push_back(newSite[site]);
    }
    outgoing = outgoingHalfedges(t, originalSite.size());
    start = StartGrid(mesh());
}

} // namespace EdgeAlgebra
