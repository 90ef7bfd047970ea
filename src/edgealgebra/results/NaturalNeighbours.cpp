#include "results/NaturalNeighbours.h"

#include "edgealgebra/Circumcenter.h"

#include <algorithm>
#include <cmath>

namespace EdgeAlgebra {

void barycentricWeights(const FlatMesh& mesh, std::uint32_t triangle, double x, double y,
                        SiteWeights& out) {
    const std::uint32_t a = mesh.origin(3 * triangle), b = mesh.origin(3 * triangle + 1),
                        c = mesh.origin(3 * triangle + 2);
    const double ax = mesh.x(a) - x, ay = mesh.y(a) - y, bx = mesh.x(b) - x, by = mesh.y(b) - y,
                 cx = mesh.x(c) - x, cy = mesh.y(c) - y;
    // Each weight is the area of the triangle the point makes with the other
    // two corners; at corner a the differences to a are zero, and the
    // weights come out 1, 0, 0 exactly.
    const double wa = bx * cy - by * cx, wb = cx * ay - cy * ax, wc = ax * by - ay * bx;
    const double sum = wa + wb + wc;
    out.set({a, b, c}, {wa / sum, wb / sum, wc / sum});
}

namespace {

bool atSite(const FlatMesh& mesh, std::uint32_t site, double x, double y) {
    return mesh.x(site) == x && mesh.y(site) == y;
}

// The triangles whose circumcircles hold (x, y) strictly, from `triangle`
// (which does) across shared edges, and the half-edges of their outer
// boundary, in counterclockwise order around the point.
void findCavity(const FlatMesh& mesh, std::uint32_t triangle, double x, double y, SiteWeights& w) {
    w.cavity.assign(1, triangle);
    w.boundary.clear();
    for (std::size_t k = 0; k < w.cavity.size(); ++k) {
        for (std::uint32_t e = 3 * w.cavity[k]; e < 3 * w.cavity[k] + 3; ++e) {
            const std::uint32_t opposite = mesh.t.halfedges[e];
            if (opposite != kNone &&
                std::find(w.cavity.begin(), w.cavity.end(), opposite / 3) != w.cavity.end()) {
                continue;
            }
            bool inside = false;
            if (opposite != kNone) {
                const std::uint32_t a = mesh.origin(opposite), b = mesh.destination(opposite),
                                    c = mesh.origin(prevHalfedge(opposite));
                inside = DoublePredicates::inCircle(mesh.x(a), mesh.y(a), mesh.x(b), mesh.y(b),
                                                    mesh.x(c), mesh.y(c), x, y) > 0;
            }
            if (inside) {
                w.cavity.push_back(opposite / 3);
            } else {
                w.boundary.push_back(e);
            }
        }
    }
    // The cavity is star-shaped around the point: its boundary is one cycle
    // through each neighbour once. Chain it by ends.
    for (std::size_t k = 0; k + 1 < w.boundary.size(); ++k) {
        const std::uint32_t end = mesh.destination(w.boundary[k]);
        for (std::size_t j = k + 1; j < w.boundary.size(); ++j) {
            if (mesh.origin(w.boundary[j]) == end) {
                std::swap(w.boundary[k + 1], w.boundary[j]);
                break;
            }
        }
    }
}

} // namespace

void sibsonWeights(const FlatMesh& mesh, std::uint32_t triangle, double x, double y,
                   SiteWeights& w) {
    for (std::uint32_t e = 3 * triangle; e < 3 * triangle + 3; ++e) {
        const std::uint32_t a = mesh.origin(e), b = mesh.destination(e);
        if (atSite(mesh, a, x, y)) {
            w.set({a}, {1.0});
            return;
        }
        if (mesh.t.halfedges[e] == kNone && mesh.side(e, x, y) == 0) {
            // On the hull edge from a to b: the share of the way along it.
            const double ex = mesh.x(b) - mesh.x(a), ey = mesh.y(b) - mesh.y(a);
            const double s = ((x - mesh.x(a)) * ex + (y - mesh.y(a)) * ey) / (ex * ex + ey * ey);
            w.set({a, b}, {1 - s, s});
            return;
        }
    }
    findCavity(mesh, triangle, x, y, w);
    // Everything relative to the point, where the new cell lies.
    const auto relative = [&](std::uint32_t site) {
        return ClipPoint{mesh.x(site) - x, mesh.y(site) - y};
    };
    w.cell.clear();
    double scale = 0;
    for (const std::uint32_t e : w.boundary) {
        const ClipPoint a = relative(mesh.origin(e)), b = relative(mesh.destination(e));
        const ClipPoint g = circumcenter(a[0], a[1], b[0], b[1], 0, 0);
        w.cell.push_back(g);
        scale = std::max({scale, std::fabs(g[0]), std::fabs(g[1])});
    }
    w.sites.clear();
    w.weights.clear();
    double total = 0;
    for (const std::uint32_t e : w.boundary) {
        const std::uint32_t site = mesh.origin(e);
        const ClipPoint a = relative(site);
        w.piece = w.cell;
        bool kept = true;
        for (std::size_t j = 0; j < w.boundary.size() && kept; ++j) {
            const std::uint32_t other = mesh.origin(w.boundary[j]);
            if (other != site) {
                const ClipPoint b = relative(other);
                kept = clip(w.piece, Bisector(a[0], a[1], b[0], b[1], scale), w.scratch);
            }
        }
        const double area = kept ? std::max(0.0, doubleArea(w.piece)) : 0.0;
        w.sites.push_back(site);
        w.weights.push_back(area);
        total += area;
    }
    if (!(total > 0) || !std::isfinite(scale)) {
        // A cell too thin or too far to measure (the point within rounding
        // of the hull): the linear weights, the coordinates' limit there.
        barycentricWeights(mesh, triangle, x, y, w);
        return;
    }
    for (double& weight : w.weights) {
        weight /= total;
    }
}

} // namespace EdgeAlgebra
