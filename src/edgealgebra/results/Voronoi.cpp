// Voronoi cells as the box cut by half-planes. The cell of a site is the set
// of points at least as close to it as to each of its Delaunay neighbours, so
// it is the box clipped by the perpendicular bisector with each neighbour in
// turn. Built that way, a cell needs no ray and rests on no circumcentre: the
// far-off (or infinite) centres of nearly flat triangles and the unbounded
// cells of hull sites need no special case, and each clip is a
// well-conditioned cut of a bounded convex polygon. Circumcentres only name
// the corners the clips have found, so that neighbouring cells agree on them.
#include "edgealgebra/Voronoi.h"

#include "edgealgebra/Circumcenter.h"
#include "results/BisectorClip.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

namespace EdgeAlgebra {

namespace {

using Polygon = Voronoi::Polygon;
using Point = std::array<double, 2>;

// What the corners of a cell can lie on: the bisectors with the site's
// neighbours, the circumcentres of its triangles, and the sides of the box.
struct CornerOrigins {
    const std::vector<Bisector>& lines;
    const std::vector<std::uint32_t>& triangles;
    const std::vector<double>& circumcenters;
    const Box& box;
    double boxScale;
};

// A circumcentre this close to a corner, relative to the box's magnitude, is
// the corner; clipping alone comes within a few units in the last place.
constexpr double kSameCorner = 0x1p-36;

// Neighbouring cells reach a shared corner through different clips, with
// different roundings. settle() computes the corner again from what defines
// it, in a way that gives the same numbers from either side: a corner on a
// side of the box (where clipping keeps the side's coordinate exactly) takes
// its other coordinate from the bisector through it, and a corner inside the
// box becomes the circumcentre it stands for.
void settle(Point& corner, const CornerOrigins& o) {
    const bool onX = corner[0] == o.box.xmin || corner[0] == o.box.xmax;
    const bool onY = corner[1] == o.box.ymin || corner[1] == o.box.ymax;
    if (onX && onY) {
        return;
    }
    if (onX || onY) {
        // The bisector nearest the corner; the coordinate solved from it does
        // not depend on which of its two sites the bisector was taken from.
        const std::size_t free = onX ? 1 : 0;
        const Bisector* nearest = nullptr;
        double best = std::numeric_limits<double>::infinity();
        for (const Bisector& line : o.lines) {
            const double across = free == 1 ? line.ny : line.nx;
            const double side = line.side(corner);
            const double distance = side * side / (line.nx * line.nx + line.ny * line.ny);
            if (across != 0.0 && distance < best) {
                best = distance;
                nearest = &line;
            }
        }
        if (nearest != nullptr) {
            const Bisector& l = *nearest;
            const double solved = free == 1 ? l.my - l.nx * (corner[0] - l.mx) / l.ny
                                            : l.mx - l.ny * (corner[1] - l.my) / l.nx;
            // A bisector nearly along the side would move the corner far.
            if (std::fabs(solved - corner[free]) <= kSameCorner * o.boxScale) {
                corner[free] = solved;
            }
        }
        return;
    }
    const Point clipped = corner;
    double best = kSameCorner * kSameCorner * o.boxScale * o.boxScale;
    for (const std::uint32_t t : o.triangles) {
        const double dx = o.circumcenters[2 * t] - clipped[0];
        const double dy = o.circumcenters[2 * t + 1] - clipped[1];
        const double distance = dx * dx + dy * dy;
        if (distance <= best) {
            best = distance;
            corner = {o.circumcenters[2 * t], o.circumcenters[2 * t + 1]};
        }
    }
}

// The arrays name only sites of coords, and half-edges pair up, so that every
// walk around a site stays in the arrays and ends.
void checkArrays(const Triangulation& t, std::size_t siteCount) {
    const auto isSite = [siteCount](std::uint32_t i) { return i < siteCount; };
    bool fits = t.triangles.size() % 3 == 0 && t.halfedges.size() == t.triangles.size() &&
                std::all_of(t.triangles.begin(), t.triangles.end(), isSite) &&
                std::all_of(t.hull.begin(), t.hull.end(), isSite);
    for (std::size_t e = 0; fits && e < t.halfedges.size(); ++e) {
        const std::uint32_t opposite = t.halfedges[e];
        fits = opposite == kNone || (opposite < t.halfedges.size() && t.halfedges[opposite] == e);
    }
    if (!fits) {
        throw std::invalid_argument("Voronoi: the triangulation does not fit the coordinates");
    }
}

} // namespace

Voronoi::Voronoi(Triangulation triangulation, const std::vector<float>& coords, const Box& box)
    : Voronoi(std::move(triangulation), std::vector<double>(coords.begin(), coords.end()), box) {}

Voronoi::Voronoi(Triangulation triangulation, std::vector<double> coords, const Box& box)
    : m_triangulation(std::move(triangulation)), m_coords(std::move(coords)), m_box(box),
      m_inedge(m_coords.size() / 2, kNone) {
    if (m_coords.size() % 2 != 0) {
        throw std::invalid_argument("Voronoi: coords holds x, y pairs, but its length (" +
                                    std::to_string(m_coords.size()) + ") is odd");
    }
    if (!isFiniteRectangle(box)) {
        throw std::invalid_argument("Voronoi: the box must be finite with xmin < xmax and "
                                    "ymin < ymax");
    }
    checkArrays(m_triangulation, m_inedge.size());
    const std::vector<std::uint32_t>& triangles = m_triangulation.triangles;
    for (std::size_t e = 0; e < triangles.size(); ++e) {
        const std::uint32_t end = triangles[nextHalfedge(e)];
        if (m_inedge[end] == kNone || m_triangulation.halfedges[e] == kNone) {
            m_inedge[end] = static_cast<std::uint32_t>(e);
        }
    }
    if (triangles.empty()) {
        for (std::size_t k = 0; k < m_triangulation.hull.size(); ++k) {
            m_inedge[m_triangulation.hull[k]] = static_cast<std::uint32_t>(k);
        }
    }

    m_circumcenters.reserve(triangles.size() / 3 * 2);
    for (std::size_t t = 0; t < triangles.size(); t += 3) {
        const std::uint32_t a = triangles[t], b = triangles[t + 1], c = triangles[t + 2];
        const auto centre = circumcenter(m_coords[2 * a], m_coords[2 * a + 1], m_coords[2 * b],
                                         m_coords[2 * b + 1], m_coords[2 * c], m_coords[2 * c + 1]);
        m_circumcenters.push_back(centre[0]);
        m_circumcenters.push_back(centre[1]);
    }
}

void Voronoi::neighbours(std::uint32_t i, std::vector<std::uint32_t>& sites,
                         std::vector<std::uint32_t>& triangles) const {
    const Triangulation& t = m_triangulation;
    const std::uint32_t start = m_inedge[i];
    if (start == kNone) {
        return;
    }
    if (t.triangles.empty()) {
        // Sites on one line: the ones before and after along it.
        if (start > 0) {
            sites.push_back(t.hull[start - 1]);
        }
        if (start + 1 < t.hull.size()) {
            sites.push_back(t.hull[start + 1]);
        }
        return;
    }
    // Clockwise around the site, a triangle at a time: from the half-edge that
    // ends at the site to the one leaving it in the same triangle, then across
    // that one. From a hull half-edge the walk crosses every triangle of the
    // site and ends at the hull half-edge leaving it.
    if (t.halfedges[start] == kNone) {
        sites.push_back(t.triangles[start]);
    }
    std::uint32_t e = start;
    do {
        const std::size_t out = nextHalfedge(e);
        sites.push_back(t.triangles[nextHalfedge(out)]);
        triangles.push_back(e / 3);
        e = t.halfedges[out];
    } while (e != kNone && e != start);
}

Voronoi::Polygon Voronoi::cell(std::size_t i) const {
    if (i >= m_inedge.size()) {
        throw std::out_of_range("Voronoi::cell: site " + std::to_string(i) + " of " +
                                std::to_string(m_inedge.size()));
    }
    // Room for the neighbours of most sites (six on average).
    std::vector<std::uint32_t> others, triangles;
    others.reserve(12);
    triangles.reserve(12);
    neighbours(static_cast<std::uint32_t>(i), others, triangles);
    if (others.empty()) {
        return {};
    }
    const Box& b = m_box;
    const double boxScale =
        std::max({std::fabs(b.xmin), std::fabs(b.ymin), std::fabs(b.xmax), std::fabs(b.ymax)});
    const double x = m_coords[2 * i], y = m_coords[2 * i + 1];
    std::vector<Bisector> lines;
    lines.reserve(others.size());
    Polygon polygon{{b.xmin, b.ymin}, {b.xmax, b.ymin}, {b.xmax, b.ymax}, {b.xmin, b.ymax}};
    Polygon scratch;
    for (const std::uint32_t j : others) {
        lines.emplace_back(x, y, m_coords[2 * j], m_coords[2 * j + 1], boxScale);
        if (!clip(polygon, lines.back(), scratch)) {
            return {};
        }
    }
    const CornerOrigins origins{lines, triangles, m_circumcenters, b, boxScale};
    for (Point& corner : polygon) {
        settle(corner, origins);
    }
    polygon.erase(std::unique(polygon.begin(), polygon.end()), polygon.end());
    if (polygon.size() > 1 && polygon.front() == polygon.back()) {
        polygon.pop_back();
    }
    return polygon.size() >= 3 ? polygon : Polygon{};
}

} // namespace EdgeAlgebra
