#pragma once

#include "edgealgebra/Triangulate.h"
#include "predicates/DoublePredicates.h"

#include <cstdint>
#include <vector>

namespace EdgeAlgebra {

// A triangulation's flat arrays with its coordinates in double precision, as
// the queries read them. Internal to the core.
struct FlatMesh {
    const Triangulation& t;
    const std::vector<double>& xy;

    double x(std::uint32_t site) const { return xy[2 * std::size_t{site}]; }
    double y(std::uint32_t site) const { return xy[2 * std::size_t{site} + 1]; }
    std::uint32_t origin(std::uint32_t e) const { return t.triangles[e]; }
    std::uint32_t destination(std::uint32_t e) const { return t.triangles[nextHalfedge(e)]; }
    std::uint32_t triangleCount() const {
        return static_cast<std::uint32_t>(t.triangles.size() / 3);
    }

    // Exact side of (qx, qy) of half-edge e: positive on its left (inside
    // its counterclockwise triangle), zero on its line.
    int side(std::uint32_t e, double qx, double qy) const {
        const std::uint32_t a = origin(e), b = destination(e);
        return DoublePredicates::orientation(x(a), y(a), x(b), y(b), qx, qy);
    }

    // Whether triangle t's closed area holds (qx, qy).
    bool holds(std::uint32_t triangle, double qx, double qy) const {
        const std::uint32_t e = 3 * triangle;
        return side(e, qx, qy) >= 0 && side(e + 1, qx, qy) >= 0 && side(e + 2, qx, qy) >= 0;
    }

    // Calls visit(e) for the half-edges that leave the origin of `start`,
    // `start` first, turning counterclockwise across the fan; when the fan is
    // open (the site on the boundary), `start` must be the boundary half-edge
    // that leaves the site (its opposite kNone) so that the whole fan is seen.
    template <typename Visit>
    void aroundOrigin(std::uint32_t start, Visit&& visit) const {
        std::uint32_t e = start;
        do {
            visit(e);
            const std::uint32_t opposite = t.halfedges[prevHalfedge(e)];
            if (opposite == kNone) {
                return;
            }
            e = opposite;
        } while (e != start);
    }
};

// Per site, a half-edge that leaves it: the boundary one for a site on the
// boundary, so that FlatMesh::aroundOrigin sees its whole fan; kNone for a
// site in no triangle.
std::vector<std::uint32_t> outgoingHalfedges(const Triangulation& t, std::size_t sites);

} // namespace EdgeAlgebra
