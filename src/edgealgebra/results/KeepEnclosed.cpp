#include "edgealgebra/KeepEnclosed.h"

#include "predicates/CoordinatePredicates.h"

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>

namespace EdgeAlgebra {

namespace {

void checkArguments(const Triangulation& t, std::size_t coordCount, std::size_t holeCount) {
    if (holeCount % 2 != 0) {
        throw std::invalid_argument("keepEnclosed: holes holds x, y pairs, but its length (" +
                                    std::to_string(holeCount) + ") is odd");
    }
    for (const std::uint32_t site : t.triangles) {
        if (site >= coordCount / 2) {
            throw std::invalid_argument("keepEnclosed: the triangulation names site " +
                                        std::to_string(site) + ", beyond the coordinates");
        }
    }
    if (!t.constrained.empty() && t.constrained.size() != t.triangles.size()) {
        throw std::invalid_argument("keepEnclosed: one constrained flag per half-edge, or none");
    }
}

// Finds a triangle that holds a point, exactly: a walk through the
// triangulation toward it, over an edge that has the point on its far side,
// chosen at random where two have (which always arrives, in any
// triangulation); where the walk meets the boundary, every triangle is
// tried in turn, since a carved domain need not be convex.
template <typename Coordinate>
class PointLocation {
public:
    PointLocation(const Triangulation& t, const std::vector<Coordinate>& coords)
        : m_t(t), m_coords(coords) {}

    // A triangle holding (x, y) on its inside or its boundary, or kNone.
    std::uint32_t find(Coordinate x, Coordinate y) {
        const std::size_t triangles = m_t.triangles.size() / 3;
        std::size_t t = 0;
        for (std::size_t steps = 0; steps < 2 * triangles + 16; ++steps) {
            const std::size_t across = edgeFacing(t, x, y);
            if (across == kNone) {
                return static_cast<std::uint32_t>(t);
            }
            if (m_t.halfedges[across] == kNone) {
                break;
            }
            t = m_t.halfedges[across] / 3;
        }
        for (t = 0; t < triangles; ++t) {
            if (edgeFacing(t, x, y) == kNone) {
                return static_cast<std::uint32_t>(t);
            }
        }
        return kNone;
    }

private:
    // An edge of triangle t with the point strictly on its outer side, or
    // kNone when the triangle holds the point.
    std::size_t edgeFacing(std::size_t t, Coordinate x, Coordinate y) {
        const auto start = static_cast<std::uint32_t>(3 * t + m_random() % 3);
        for (std::uint32_t k = 0, e = start; k < 3; ++k, e = nextHalfedge(e)) {
            const std::uint32_t a = m_t.triangles[e], b = m_t.triangles[nextHalfedge(e)];
            if (CoordinatePredicates<Coordinate>::orientation(
                    m_coords[2 * std::size_t{a}], m_coords[2 * std::size_t{a} + 1],
                    m_coords[2 * std::size_t{b}], m_coords[2 * std::size_t{b} + 1], x, y) < 0) {
                return e;
            }
        }
        return kNone;
    }

    const Triangulation& m_t;
    const std::vector<Coordinate>& m_coords;
    std::minstd_rand m_random{20261208};
};

// Marks every triangle reachable from the outside or from a hole point
// without crossing a segment.
template <typename Coordinate>
std::vector<bool> outsideTriangles(const Triangulation& t, const std::vector<Coordinate>& coords,
                                   const std::vector<Coordinate>& holes) {
    const auto onSegment = [&t](std::size_t e) {
        return !t.constrained.empty() && t.constrained[e] != 0;
    };
    std::vector<bool> outside(t.triangles.size() / 3, false);
    std::vector<std::uint32_t> pending;
    const auto reach = [&outside, &pending](std::uint32_t triangle) {
        if (!outside[triangle]) {
            outside[triangle] = true;
            pending.push_back(triangle);
        }
    };
    for (std::size_t e = 0; e < t.halfedges.size(); ++e) {
        if (t.halfedges[e] == kNone && !onSegment(e)) {
            reach(static_cast<std::uint32_t>(e / 3));
        }
    }
    PointLocation<Coordinate> location(t, coords);
    for (std::size_t h = 0; h + 1 < holes.size(); h += 2) {
        const std::uint32_t triangle = location.find(holes[h], holes[h + 1]);
        if (triangle != kNone) {
            reach(triangle);
        }
    }
    while (!pending.empty()) {
        const std::uint32_t triangle = pending.back();
        pending.pop_back();
        for (std::size_t e = 3 * std::size_t{triangle}; e < 3 * std::size_t{triangle} + 3; ++e) {
            if (t.halfedges[e] != kNone && !onSegment(e)) {
                reach(t.halfedges[e] / 3);
            }
        }
    }
    return outside;
}

template <typename Coordinate>
void carve(Triangulation& t, const std::vector<Coordinate>& coords,
           const std::vector<Coordinate>& holes) {
    checkArguments(t, coords.size(), holes.size());
    const std::vector<bool> outside = outsideTriangles(t, coords, holes);
    std::vector<std::uint32_t> newNumber(outside.size(), kNone);
    std::uint32_t kept = 0;
    for (std::size_t triangle = 0; triangle < outside.size(); ++triangle) {
        if (!outside[triangle]) {
            newNumber[triangle] = kept++;
        }
    }
    Triangulation carved;
    carved.triangles.reserve(3 * std::size_t{kept});
    carved.halfedges.reserve(3 * std::size_t{kept});
    for (std::size_t e = 0; e < t.triangles.size(); ++e) {
        if (outside[e / 3]) {
            continue;
        }
        carved.triangles.push_back(t.triangles[e]);
        const std::uint32_t opposite = t.halfedges[e];
        carved.halfedges.push_back(opposite == kNone || outside[opposite / 3]
                                       ? kNone
                                       : 3 * newNumber[opposite / 3] + opposite % 3);
        if (!t.constrained.empty()) {
            carved.constrained.push_back(t.constrained[e]);
        }
    }
    t = std::move(carved);
}

} // namespace

void keepEnclosed(Triangulation& triangulation, const std::vector<float>& coords,
                  const std::vector<float>& holes) {
    carve(triangulation, coords, holes);
}

void keepEnclosed(Triangulation& triangulation, const std::vector<double>& coords,
                  const std::vector<double>& holes) {
    carve(triangulation, coords, holes);
}

} // namespace EdgeAlgebra
