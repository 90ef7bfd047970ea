#include "refinement/CavityMesh.h"

#include "predicates/CoordinatePredicates.h"

#include <algorithm>
#include <utility>

namespace EdgeAlgebra {
namespace Refinement {

namespace {

using Predicates = CoordinatePredicates<double>;

int orientationOf(Point a, Point b, Point c) {
    return Predicates::orientation(a.x, a.y, b.x, b.y, c.x, c.y);
}

} // namespace

CavityMesh::CavityMesh(std::vector<double> coordsIn, std::vector<std::uint32_t> trianglesIn,
                       std::vector<std::uint32_t> halfedgesIn,
                       std::vector<std::uint32_t> segmentOfIn)
    : coords(std::move(coordsIn)), triangles(std::move(trianglesIn)),
      halfedges(std::move(halfedgesIn)), segmentOf(std::move(segmentOfIn)),
      m_mark(triangles.size() / 3, 0) {}

void CavityMesh::reserve(std::size_t triangleCount) {
    triangles.reserve(3 * triangleCount);
    halfedges.reserve(3 * triangleCount);
    segmentOf.reserve(3 * triangleCount);
    m_mark.reserve(triangleCount);
    coords.reserve(coords.size() + triangleCount + 64);
}

int CavityMesh::orientation(std::uint32_t a, std::uint32_t b, Point p) const {
    return orientationOf(point(a), point(b), p);
}

bool CavityMesh::inCircumcircle(std::uint32_t triangle, Point p) const {
    const Point a = point(triangles[3 * std::size_t{triangle}]);
    const Point b = point(triangles[3 * std::size_t{triangle} + 1]);
    const Point c = point(triangles[3 * std::size_t{triangle} + 2]);
    return Predicates::inCircle(a.x, a.y, b.x, b.y, c.x, c.y, p.x, p.y) > 0;
}

CavityMesh::Location CavityMesh::locate(std::uint32_t from, Point p) const {
    std::uint32_t t = from;
    const Point a = point(triangles[3 * t]), b = point(triangles[3 * t + 1]),
                c = point(triangles[3 * t + 2]);
    const Point start{(a.x + b.x + c.x) / 3.0, (a.y + b.y + c.y) / 3.0};
    const std::size_t limit = 2 * std::size_t{triangleCount()} + 16;
    for (std::size_t step = 0; step < limit; ++step) {
        // Leave over an edge with p strictly beyond it: the one the line
        // from the start crosses, or any such when rounding of the start
        // point leaves none.
        std::uint32_t exit = kNone, beyond = kNone;
        for (std::uint32_t e = 3 * t; e < 3 * t + 3; ++e) {
            if (orientation(org(e), dest(e), p) >= 0) {
                continue;
            }
            beyond = e;
            if (orientationOf(start, p, point(org(e))) <= 0 &&
                orientationOf(start, p, point(dest(e))) >= 0) {
                exit = e;
                break;
            }
        }
        if (beyond == kNone) {
            return {t, kNone};
        }
        if (exit == kNone) {
            exit = beyond;
        }
        if (halfedges[exit] == kNone || isSegment(exit)) {
            return {kNone, exit};
        }
        t = halfedges[exit] / 3;
    }
    return {};
}

void CavityMesh::mark(std::uint32_t triangle) {
    m_mark[triangle] = m_epoch;
    m_cavity.push_back(triangle);
}

bool CavityMesh::gatherCavity(std::uint32_t start, Point p, std::uint32_t split) {
    ++m_epoch;
    m_cavity.clear();
    m_rim.clear();
    m_split = split;
    const std::uint32_t splitTwin = split == kNone ? kNone : halfedges[split];
    if (split == kNone) {
        mark(start);
    } else {
        mark(split / 3);
        if (splitTwin != kNone) {
            mark(splitTwin / 3);
        }
    }
    for (std::size_t k = 0; k < m_cavity.size(); ++k) {
        const std::uint32_t t = m_cavity[k];
        for (std::uint32_t e = 3 * t; e < 3 * t + 3; ++e) {
            if (e == split || e == splitTwin) {
                continue;
            }
            const std::uint32_t twin = halfedges[e];
            if (twin != kNone && !isSegment(e)) {
                if (marked(twin / 3)) {
                    continue;
                }
                if (inCircumcircle(twin / 3, p)) {
                    mark(twin / 3);
                    continue;
                }
            }
            m_rim.push_back(e);
        }
    }
    // The fan is a triangulation only where p sees every rim edge strictly
    // from its inner side; a segment with the cavity on both sides, or p on
    // a corner, fails here.
    for (const std::uint32_t e : m_rim) {
        if (orientation(org(e), dest(e), p) <= 0) {
            return false;
        }
    }
    return true;
}

std::uint32_t CavityMesh::insertGathered(Point p) {
    const std::uint32_t vertex = vertexCount();
    coords.push_back(p.x);
    coords.push_back(p.y);
    std::vector<RimEdge>& rimEdges = m_rimEdges;
    rimEdges.clear();
    for (const std::uint32_t e : m_rim) {
        rimEdges.push_back({org(e), dest(e), halfedges[e], segmentOf[e]});
    }
    std::uint32_t splitFrom = kNone, splitTo = kNone, splitSegment = kFree;
    if (m_split != kNone) {
        splitFrom = org(m_split);
        splitTo = dest(m_split);
        splitSegment = segmentOf[m_split];
    }
    const auto onSplit = [&](std::uint32_t v) { return v == splitFrom || v == splitTo; };
    m_fan.clear();
    std::vector<std::pair<std::uint32_t, std::uint32_t>>& fanFrom = m_fanFrom;
    fanFrom.clear();
    // The fan has one or two triangles more than the cavity: new slots.
    const std::uint32_t firstNew = triangleCount();
    const std::size_t grown = 3 * (std::size_t{firstNew} + rimEdges.size() - m_cavity.size());
    triangles.resize(grown);
    halfedges.resize(grown);
    segmentOf.resize(grown);
    m_mark.resize(grown / 3, 0);
    for (std::size_t i = 0; i < rimEdges.size(); ++i) {
        const std::uint32_t t = i < m_cavity.size()
                                    ? m_cavity[i]
                                    : firstNew + static_cast<std::uint32_t>(i - m_cavity.size());
        const RimEdge& r = rimEdges[i];
        triangles[3 * t] = r.from;
        triangles[3 * t + 1] = r.to;
        triangles[3 * t + 2] = vertex;
        halfedges[3 * t] = r.twin;
        if (r.twin != kNone) {
            halfedges[r.twin] = 3 * t;
        }
        segmentOf[3 * t] = r.segment;
        halfedges[3 * t + 1] = halfedges[3 * t + 2] = kNone;
        segmentOf[3 * t + 1] = onSplit(r.to) ? splitSegment : kFree;
        segmentOf[3 * t + 2] = onSplit(r.from) ? splitSegment : kFree;
        m_fan.push_back(t);
        fanFrom.emplace_back(r.from, t);
    }
    // Each spoke pairs the triangle ending at a rim vertex with the one
    // starting there; the spokes to a boundary segment's ends stay unpaired.
    std::sort(fanFrom.begin(), fanFrom.end());
    for (const std::uint32_t t : m_fan) {
        const std::uint32_t to = triangles[3 * t + 1];
        const auto found =
            std::lower_bound(fanFrom.begin(), fanFrom.end(), std::make_pair(to, std::uint32_t{0}));
        if (found != fanFrom.end() && found->first == to) {
            halfedges[3 * t + 1] = 3 * found->second + 2;
            halfedges[3 * found->second + 2] = 3 * t + 1;
        }
    }
    return vertex;
}

} // namespace Refinement
} // namespace EdgeAlgebra
