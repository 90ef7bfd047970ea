#include "edgealgebra/Refine.h"

#include "edgealgebra/KeepEnclosed.h"
#include "predicates/CoordinatePredicates.h"
#include "refinement/CavityMesh.h"
#include "refinement/Refiner.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

namespace EdgeAlgebra {

namespace {

using Refinement::kFree;
using Refinement::SegmentEnds;

// Marks, in a triangulation's `constrained` flags, a side of the convex hull
// that no segment covers, so that keepEnclosed stops there too.
constexpr std::uint8_t kHullSide = 2;

void checkQuality(const Quality& quality) {
    if (!(quality.minAngle >= 0.0) || quality.minAngle >= 60.0) {
        throw std::invalid_argument(
            "refine: minAngle must be at least 0 and under 60 degrees, not " +
            std::to_string(quality.minAngle));
    }
    if (!(quality.maxArea >= 0.0)) {
        throw std::invalid_argument("refine: maxArea must be 0 (no bound) or positive, not " +
                                    std::to_string(quality.maxArea));
    }
}

// The domain: the triangles the segments enclose less the holes, or the
// whole hull less the holes. Afterwards every boundary half-edge is
// flagged, a hull side without a segment as kHullSide.
Triangulation domainOf(const std::vector<double>& coords,
                       const std::vector<std::uint32_t>& segments, const std::vector<double>& holes,
                       bool wholeHull) {
    Triangulation t = triangulate(coords, segments);
    t.constrained.resize(t.triangles.size(), 0);
    if (wholeHull) {
        for (std::size_t e = 0; e < t.halfedges.size(); ++e) {
            if (t.halfedges[e] == kNone && t.constrained[e] == 0) {
                t.constrained[e] = kHullSide;
            }
        }
    }
    keepEnclosed(t, coords, holes);
    return t;
}

// For every half-edge, the segment it lies on: each input segment followed
// as a chain of flagged edges from its first end to its second, then every
// flagged edge left over as a hull side of its own (appended to `ends`).
class SegmentChains {
public:
    SegmentChains(const std::vector<double>& coords, const Triangulation& t)
        : m_coords(coords), m_t(t), m_segmentOf(t.triangles.size(), kFree),
          m_along(coords.size() / 2) {
        for (std::uint32_t e = 0; e < t.triangles.size(); ++e) {
            if (t.constrained[e] == 0) {
                continue;
            }
            m_along[t.triangles[e]].emplace_back(t.triangles[nextHalfedge(e)], e);
            if (t.halfedges[e] == kNone) {
                m_along[t.triangles[nextHalfedge(e)]].emplace_back(t.triangles[e], e);
            }
        }
    }

    void follow(std::uint32_t from, std::uint32_t to, std::uint32_t segment) {
        from = present(from);
        to = present(to);
        std::uint32_t at = from;
        while (at != to && at != kNone) {
            std::uint32_t next = kNone;
            for (const auto& [other, e] : m_along[at]) {
                if (other == to || (orientation(from, to, other) == 0 && ahead(at, other, to))) {
                    next = other;
                    assign(e, segment);
                    break;
                }
            }
            at = next;
        }
    }

    void addHullSides(std::vector<SegmentEnds>& ends) {
        for (std::uint32_t e = 0; e < m_t.triangles.size(); ++e) {
            if (m_t.constrained[e] != 0 && m_segmentOf[e] == kFree) {
                ends.push_back({m_t.triangles[e], m_t.triangles[nextHalfedge(e)]});
                assign(e, static_cast<std::uint32_t>(ends.size() - 1));
            }
        }
    }

    std::vector<std::uint32_t> take() { return std::move(m_segmentOf); }

private:
    double x(std::uint32_t v) const { return m_coords[2 * std::size_t{v}]; }
    double y(std::uint32_t v) const { return m_coords[2 * std::size_t{v} + 1]; }

    int orientation(std::uint32_t a, std::uint32_t b, std::uint32_t c) const {
        return CoordinatePredicates<double>::orientation(x(a), y(a), x(b), y(b), x(c), y(c));
    }
    // Whether v, on the line through at and to, lies strictly between them.
    bool ahead(std::uint32_t at, std::uint32_t v, std::uint32_t to) const {
        return std::min(x(at), x(to)) <= x(v) && x(v) <= std::max(x(at), x(to)) &&
               std::min(y(at), y(to)) <= y(v) && y(v) <= std::max(y(at), y(to)) && v != at;
    }

    // Where two overlapping segments share an edge, it stays with the first.
    void assign(std::uint32_t e, std::uint32_t segment) {
        if (m_segmentOf[e] == kFree) {
            m_segmentOf[e] = segment;
            if (m_t.halfedges[e] != kNone) {
                m_segmentOf[m_t.halfedges[e]] = segment;
            }
        }
    }

    // The vertex that stands for a site: itself, or the first site with the
    // same coordinates, which took its place in the triangulation.
    std::uint32_t present(std::uint32_t site) {
        if (!m_along[site].empty()) {
            return site;
        }
        if (m_byPoint.empty()) {
            for (std::uint32_t v = 0; v < m_along.size(); ++v) {
                if (!m_along[v].empty()) {
                    m_byPoint.emplace(std::make_pair(x(v), y(v)), v);
                }
            }
        }
        const auto found = m_byPoint.find({x(site), y(site)});
        return found == m_byPoint.end() ? kNone : found->second;
    }

    const std::vector<double>& m_coords;
    const Triangulation& m_t;
    std::vector<std::uint32_t> m_segmentOf;
    std::vector<std::vector<std::pair<std::uint32_t, std::uint32_t>>> m_along; // to, half-edge
    std::map<std::pair<double, double>, std::uint32_t> m_byPoint;
};

std::size_t steinerBound(const Quality& quality, const Triangulation& t,
                         const std::vector<double>& coords) {
    if (quality.maxSteiner != 0) {
        return quality.maxSteiner;
    }
    const std::size_t sites = coords.size() / 2;
    double bound = 1e6 + 256.0 * static_cast<double>(sites);
    if (quality.maxArea > 0) {
        double area = 0;
        for (std::size_t e = 0; e < t.triangles.size(); e += 3) {
            const double ax = coords[2 * t.triangles[e]], ay = coords[2 * t.triangles[e] + 1];
            const double bx = coords[2 * t.triangles[e + 1]],
                         by = coords[2 * t.triangles[e + 1] + 1];
            const double cx = coords[2 * t.triangles[e + 2]],
                         cy = coords[2 * t.triangles[e + 2] + 1];
            area += 0.5 * ((bx - ax) * (cy - ay) - (by - ay) * (cx - ax));
        }
        bound += 8.0 * area / quality.maxArea;
    }
    // Three half-edges of 32-bit numbers per triangle, two triangles per vertex.
    const double indexLimit = static_cast<double>(kNone / 8) - static_cast<double>(sites);
    return static_cast<std::size_t>(std::max(0.0, std::min(bound, indexLimit)));
}

// The pieces of the input segments, each running the way its segment runs,
// in the order of the segments and along each.
std::vector<std::uint32_t> segmentPieces(const Refinement::CavityMesh& mesh,
                                         const std::vector<SegmentEnds>& ends,
                                         std::size_t inputSegments) {
    struct Piece {
        std::uint32_t from, to, segment;
        double along;
    };
    std::vector<Piece> pieces;
    for (std::uint32_t e = 0; e < mesh.halfedges.size(); ++e) {
        const std::uint32_t segment = mesh.segmentOf[e], twin = mesh.halfedges[e];
        if (segment >= inputSegments || (twin != kNone && twin < e)) {
            continue;
        }
        const Refinement::Point a = mesh.point(ends[segment].from),
                                b = mesh.point(ends[segment].to);
        std::uint32_t from = mesh.org(e), to = mesh.dest(e);
        const Refinement::Point p = mesh.point(from), q = mesh.point(to);
        if ((q.x - p.x) * (b.x - a.x) + (q.y - p.y) * (b.y - a.y) < 0) {
            std::swap(from, to);
        }
        const Refinement::Point f = mesh.point(from);
        pieces.push_back(
            {from, to, segment, (f.x - a.x) * (b.x - a.x) + (f.y - a.y) * (b.y - a.y)});
    }
    std::sort(pieces.begin(), pieces.end(), [](const Piece& l, const Piece& r) {
        return l.segment != r.segment ? l.segment < r.segment : l.along < r.along;
    });
    std::vector<std::uint32_t> flat;
    flat.reserve(3 * pieces.size());
    for (const Piece& piece : pieces) {
        flat.insert(flat.end(), {piece.from, piece.to, piece.segment});
    }
    return flat;
}

} // namespace

Mesh refine(const std::vector<double>& coords, const std::vector<std::uint32_t>& segments,
            const std::vector<double>& holes, const Quality& quality) {
    checkQuality(quality);
    if (holes.size() % 2 != 0) {
        throw std::invalid_argument("refine: holes holds x, y pairs, but its length (" +
                                    std::to_string(holes.size()) + ") is odd");
    }
    Mesh mesh;
    mesh.coords = coords;
    const Triangulation domain =
        domainOf(coords, segments, holes, quality.convexHull || segments.empty());
    if (domain.triangles.empty()) {
        return mesh;
    }
    std::vector<SegmentEnds> ends;
    SegmentChains chains(coords, domain);
    for (std::uint32_t k = 0; k < segments.size() / 2; ++k) {
        ends.push_back({segments[2 * k], segments[2 * k + 1]});
        chains.follow(segments[2 * k], segments[2 * k + 1], k);
    }
    const std::size_t inputSegments = ends.size();
    chains.addHullSides(ends);
    const auto inputVertices = static_cast<std::uint32_t>(coords.size() / 2);
    Refinement::CavityMesh cavities(coords, domain.triangles, domain.halfedges, chains.take());
    const Refinement::Bounds bounds{quality.minAngle, quality.maxArea,
                                    steinerBound(quality, domain, coords)};
    mesh.forcedSmallAngles = Refinement::refineMesh(cavities, ends, inputVertices, bounds);

    mesh.segments = segmentPieces(cavities, ends, inputSegments);
    mesh.coords = std::move(cavities.coords);
    Triangulation& t = mesh.triangulation;
    t.constrained.resize(cavities.segmentOf.size());
    for (std::size_t e = 0; e < t.constrained.size(); ++e) {
        t.constrained[e] = cavities.segmentOf[e] < inputSegments ? 1 : 0;
    }
    t.triangles = std::move(cavities.triangles);
    t.halfedges = std::move(cavities.halfedges);
    return mesh;
}

Mesh refine(const std::vector<float>& coords, const std::vector<std::uint32_t>& segments,
            const std::vector<float>& holes, const Quality& quality) {
    // Every float is a double: the same sites, decided the same way.
    return refine(std::vector<double>(coords.begin(), coords.end()), segments,
                  std::vector<double>(holes.begin(), holes.end()), quality);
}

} // namespace EdgeAlgebra
