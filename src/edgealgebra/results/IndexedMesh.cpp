#include "results/IndexedMesh.h"

#include "results/MortonOrder.h"

namespace EdgeAlgebra {

namespace {

std::vector<std::uint32_t> inverse(const std::vector<std::uint32_t>& order) {
    std::vector<std::uint32_t> position(order.size());
    for (std::uint32_t k = 0; k < order.size(); ++k) {
        position[order[k]] = k;
    }
    return position;
}

std::vector<std::uint32_t> asVector(const ScratchVector<std::uint32_t>& order) {
    return {order.begin(), order.end()};
}

std::vector<double> centroids(const Triangulation& t, const std::vector<double>& coords) {
    std::vector<double> centres(2 * (t.triangles.size() / 3));
    for (std::size_t e = 0; e < t.triangles.size(); e += 3) {
        for (std::size_t k = 0; k < 3; ++k) {
            centres[2 * (e / 3)] += coords[2 * std::size_t{t.triangles[e + k]}] / 3;
            centres[2 * (e / 3) + 1] += coords[2 * std::size_t{t.triangles[e + k]} + 1] / 3;
        }
    }
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

IndexedMesh::IndexedMesh(const Triangulation& given, const std::vector<double>& coords)
    : originalSite(asVector(mortonOrder(coords.data(), coords.size() / 2))),
      originalTriangle(
          asVector(mortonOrder(centroids(given, coords).data(), given.triangles.size() / 3))) {
    const std::vector<std::uint32_t> newSite = inverse(originalSite);
    const std::vector<std::uint32_t> newTriangle = inverse(originalTriangle);
    xy.resize(coords.size());
    for (std::size_t s = 0; s < originalSite.size(); ++s) {
        xy[2 * s] = coords[2 * std::size_t{originalSite[s]}];
        xy[2 * s + 1] = coords[2 * std::size_t{originalSite[s]} + 1];
    }
    t.triangles.resize(given.triangles.size());
    t.halfedges.resize(given.halfedges.size());
    for (std::uint32_t triangle = 0; triangle < originalTriangle.size(); ++triangle) {
        for (std::uint32_t k = 0; k < 3; ++k) {
            const std::uint32_t from = 3 * originalTriangle[triangle] + k;
            const std::uint32_t opposite = given.halfedges[from];
            t.triangles[3 * triangle + k] = newSite[given.triangles[from]];
            t.halfedges[3 * triangle + k] =
                opposite == kNone ? kNone : 3 * newTriangle[opposite / 3] + opposite % 3;
        }
    }
    t.hull.reserve(given.hull.size());
    for (const std::uint32_t site : given.hull) {
        t.hull.push_back(newSite[site]);
    }
    outgoing = outgoingHalfedges(t, originalSite.size());
    start = StartGrid(mesh());
}

} // namespace EdgeAlgebra
