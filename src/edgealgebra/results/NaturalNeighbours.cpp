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

// Everything below is relative to the point, where its new cell lies.
ClipPoint relative(const FlatMesh& mesh, std::uint32_t site, double x, double y) {
    return {mesh.x(site) - x, mesh.y(site) - y};
}

// The centre of the circle through the point (the origin) and sites a, b.
ClipPoint centreWithPoint(const ClipPoint& a, const ClipPoint& b) {
    return circumcenter(0, 0, a[0], a[1], b[0], b[1]);
}

double cross(const ClipPoint& a, const ClipPoint& b, const ClipPoint& origin) {
    return (a[0] - origin[0]) * (b[1] - origin[1]) - (a[1] - origin[1]) * (b[0] - origin[0]);
}

// The areas taken from the neighbours, from the old circumcentres: the piece
// taken from neighbour a is bounded by the new bisector of a and the point
// and by a's old Voronoi edges, and splits into one triangle per cavity
// triangle T at a, with corners T's circumcentre and the centres of the
// circles through the point and each of T's two edges at a (those two lie on
// the new bisector, and each on one of the old edges). Twice the signed
// areas, all of one sign. Returns false, computing nothing, where a cavity
// triangle's circumcentre lies so far (a nearly flat triangle) that the
// triangles' large areas would cancel to rounding noise.
bool areasFromCircumcentres(const FlatMesh& mesh, double x, double y, SiteWeights& w) {
    double reach = 0;
    for (const std::uint32_t e : w.boundary) {
        const ClipPoint a = relative(mesh, mesh.origin(e), x, y);
        reach = std::max({reach, std::fabs(a[0]), std::fabs(a[1])});
    }
    constexpr double kFarther = 0x1p20; // the cancellation loses about 20 bits at most
    w.centres.clear();
    for (const std::uint32_t t : w.cavity) {
        const ClipPoint a = relative(mesh, mesh.origin(3 * t), x, y),
                        b = relative(mesh, mesh.origin(3 * t + 1), x, y),
                        c = relative(mesh, mesh.origin(3 * t + 2), x, y);
        const ClipPoint o = circumcenter(a[0], a[1], b[0], b[1], c[0], c[1]);
        if (!(std::fabs(o[0]) <= kFarther * reach && std::fabs(o[1]) <= kFarther * reach)) {
            return false;
        }
        w.centres.push_back(o);
    }
    const std::size_t k = w.boundary.size();
    for (std::size_t i = 0; i < k; ++i) {
        const std::uint32_t in = w.boundary[(i + k - 1) % k], out = w.boundary[i];
        const ClipPoint a = relative(mesh, mesh.origin(out), x, y);
        ClipPoint previous = centreWithPoint(a, relative(mesh, mesh.origin(in), x, y));
        double area = 0;
        // Around a inside the cavity, from the edge that comes in to the one
        // that goes out.
        std::uint32_t h = nextHalfedge(in);
        for (std::size_t steps = 0;; ++steps, h = nextHalfedge(mesh.t.halfedges[h])) {
            const std::size_t slot = static_cast<std::size_t>(
                std::find(w.cavity.begin(), w.cavity.end(), h / 3) - w.cavity.begin());
            if (slot == w.cavity.size() || steps > w.cavity.size()) {
                return false; // not the fan of a star-shaped cavity: cannot be, but never loop
            }
            const ClipPoint current = centreWithPoint(a, relative(mesh, mesh.destination(h), x, y));
            area += cross(previous, current, w.centres[slot]);
            if (h == out) {
                break;
            }
            previous = current;
        }
        w.sites.push_back(mesh.origin(out));
        w.weights.push_back(area);
    }
    return true;
}

// The same by clipping: the new cell, the polygon of the centres of the
// circles through the point and each boundary edge, cut by the bisectors of
// the neighbour with every other neighbour. No old circumcentre enters, so
// nearly flat cavity triangles cost precision nowhere. Twice the areas.
void areasByClipping(const FlatMesh& mesh, double x, double y, SiteWeights& w) {
    w.cell.clear();
    double scale = 0;
    for (const std::uint32_t e : w.boundary) {
        const ClipPoint g = centreWithPoint(relative(mesh, mesh.origin(e), x, y),
                                            relative(mesh, mesh.destination(e), x, y));
        w.cell.push_back(g);
        scale = std::max({scale, std::fabs(g[0]), std::fabs(g[1])});
    }
    for (const std::uint32_t e : w.boundary) {
        const std::uint32_t site = mesh.origin(e);
        const ClipPoint a = relative(mesh, site, x, y);
        w.piece = w.cell;
        bool kept = std::isfinite(scale);
        for (std::size_t j = 0; j < w.boundary.size() && kept; ++j) {
            const std::uint32_t other = mesh.origin(w.boundary[j]);
            if (other != site) {
                const ClipPoint b = relative(mesh, other, x, y);
                kept = clip(w.piece, Bisector(a[0], a[1], b[0], b[1], scale), w.scratch);
            }
        }
        w.sites.push_back(site);
        w.weights.push_back(kept ? std::max(0.0, doubleArea(w.piece)) : 0.0);
    }
}

// Divides the areas by their sum; false where the sum is no positive number.
bool normalise(std::vector<double>& areas) {
    double total = 0;
    for (const double area : areas) {
        total += area;
    }
    if (!(std::fabs(total) > 0) || !std::isfinite(total)) {
        return false;
    }
    for (double& area : areas) {
        area /= total;
    }
    return true;
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
    w.sites.clear();
    w.weights.clear();
    if (areasFromCircumcentres(mesh, x, y, w) && normalise(w.weights)) {
        return;
    }
    w.sites.clear();
    w.weights.clear();
    areasByClipping(mesh, x, y, w);
    if (!normalise(w.weights)) {
        // A cell too thin or too far to measure (the point within rounding
        // of the hull): the linear weights, the coordinates' limit there.
        barycentricWeights(mesh, triangle, x, y, w);
    }
}

} // namespace EdgeAlgebra
