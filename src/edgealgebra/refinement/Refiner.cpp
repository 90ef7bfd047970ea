#include "refinement/Refiner.h"

#include "edgealgebra/Circumcenter.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <queue>
#include <stdexcept>
#include <string>

namespace EdgeAlgebra {
namespace Refinement {

namespace {

constexpr double kPi = 3.14159265358979323846;
// A bad triangle is tried again after the segments its new point would
// encroach are split, at most this often.
constexpr std::uint8_t kMaxAttempts = 16;

double squaredDistance(Point a, Point b) {
    return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y);
}

// Whether p lies strictly inside the circle with diameter a b.
bool encroaches(Point p, Point a, Point b) {
    return (a.x - p.x) * (b.x - p.x) + (a.y - p.y) * (b.y - p.y) < 0.0;
}

// The shape of a triangle: which half-edge is its shortest edge, the square
// of the cosine of its smallest angle (opposite that edge), and its area.
struct Shape {
    std::uint32_t shortest;
    double cosSquared;
    double area;
};

Shape shapeOf(Point a, Point b, Point c) {
    const double ab = squaredDistance(a, b), bc = squaredDistance(b, c), ca = squaredDistance(c, a);
    std::uint32_t shortest = 0;
    double s = ab, o1 = bc, o2 = ca;
    if (bc < s) {
        shortest = 1;
        s = bc;
        o1 = ca;
        o2 = ab;
    }
    if (ca < s) {
        shortest = 2;
        s = ca;
        o1 = ab;
        o2 = bc;
    }
    // Law of cosines; the smallest angle is acute, so o1 + o2 - s > 0.
    const double numerator = o1 + o2 - s;
    const double area = 0.5 * std::fabs((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x));
    return {shortest, numerator * numerator / (4.0 * o1 * o2), area};
}

double cosSquaredOf(double degrees) {
    const double c = std::cos(degrees * kPi / 180.0);
    return c * c;
}

// The off-centre's distance from the middle of the shortest edge, per edge
// length: at cot(minAngle / 2) / 2 the triangle it makes with that edge has
// exactly the bound at its apex; 95% of that keeps its angles safely above.
double offCentreDistance(double minAngle) {
    return minAngle > 0 ? 0.95 * 0.5 / std::tan(minAngle * kPi / 360.0) : 0.0;
}

struct BadTriangle {
    double priority; // worst first
    std::uint32_t triangle;
    std::uint32_t corners[3];
    std::uint8_t attempts;
    bool operator<(const BadTriangle& other) const { return priority < other.priority; }
};

struct EncroachedPiece {
    std::uint32_t halfedge;
    std::uint32_t from;
    std::uint32_t to;
    bool always; // split even when no corner encroaches it any more
};

class Refiner {
public:
    Refiner(CavityMesh& mesh, const std::vector<SegmentEnds>& segments, std::uint32_t inputVertices,
            const Bounds& bounds)
        : m_mesh(mesh), m_segments(segments), m_inputVertices(inputVertices), m_bounds(bounds),
          m_cosSquaredBound(bounds.minAngle > 0 ? cosSquaredOf(bounds.minAngle) : 2.0),
          m_offCentre(offCentreDistance(bounds.minAngle)), m_onSegment(mesh.vertexCount(), kFree) {
        findShellCentres();
        if (bounds.maxArea > 0) {
            // Refined to an area bound, triangles take up about two thirds
            // of it on average: room for a few more.
            double area = 0;
            for (std::uint32_t t = 0; t < mesh.triangleCount(); ++t) {
                area += shapeOf(corner(t, 0), corner(t, 1), corner(t, 2)).area;
            }
            const double expected =
                std::min(1.8 * area / bounds.maxArea, 2.0 * static_cast<double>(bounds.maxSteiner));
            mesh.reserve(mesh.triangleCount() + static_cast<std::size_t>(expected));
        }
    }

    std::size_t run() {
        for (std::uint32_t e = 0; e < m_mesh.halfedges.size(); ++e) {
            checkPiece(e);
        }
        for (std::uint32_t t = 0; t < m_mesh.triangleCount(); ++t) {
            checkTriangle(t, 0);
        }
        for (;;) {
            if (!m_encroached.empty()) {
                const EncroachedPiece piece = m_encroached.front();
                m_encroached.pop_front();
                if (isCurrent(piece) && (piece.always || isEncroached(piece.halfedge))) {
                    splitPiece(piece.halfedge);
                }
            } else if (!m_sharp.empty()) {
                const BadTriangle bad = m_sharp.top();
                m_sharp.pop();
                if (isCurrent(bad)) {
                    splitTriangle(bad);
                }
            } else if (!m_large.empty()) {
                const BadTriangle bad = m_large.front();
                m_large.pop_front();
                if (isCurrent(bad)) {
                    splitTriangle(bad);
                }
            } else {
                break;
            }
        }
        return countForced();
    }

private:
    Point corner(std::uint32_t t, std::uint32_t k) const {
        return m_mesh.point(m_mesh.triangles[3 * t + k]);
    }

    bool isCurrent(const EncroachedPiece& piece) const {
        return m_mesh.org(piece.halfedge) == piece.from && m_mesh.dest(piece.halfedge) == piece.to;
    }
    bool isCurrent(const BadTriangle& bad) const {
        const std::uint32_t* corners = &m_mesh.triangles[3 * std::size_t{bad.triangle}];
        return corners[0] == bad.corners[0] && corners[1] == bad.corners[1] &&
               corners[2] == bad.corners[2];
    }

    // A vertex where segments meet at under 90 degrees: the pieces next to
    // it are split on circles around it whose radii are powers of two, so
    // that the splits on its segments meet at equal distances and never
    // chase each other toward it.
    void findShellCentres() {
        std::vector<std::vector<double>> directions(m_inputVertices);
        for (const SegmentEnds& s : m_segments) {
            const Point a = m_mesh.point(s.from), b = m_mesh.point(s.to);
            directions[s.from].push_back(std::atan2(b.y - a.y, b.x - a.x));
            directions[s.to].push_back(std::atan2(a.y - b.y, a.x - b.x));
        }
        m_shellCentre.assign(m_inputVertices, false);
        for (std::uint32_t v = 0; v < m_inputVertices; ++v) {
            std::vector<double>& d = directions[v];
            if (d.size() < 2) {
                continue;
            }
            std::sort(d.begin(), d.end());
            double smallest = d.front() + 2 * kPi - d.back();
            for (std::size_t k = 1; k < d.size(); ++k) {
                smallest = std::min(smallest, d[k] - d[k - 1]);
            }
            m_shellCentre[v] = smallest < kPi / 2;
        }
    }

    bool isEncroached(std::uint32_t e) const {
        const Point a = m_mesh.point(m_mesh.org(e)), b = m_mesh.point(m_mesh.dest(e));
        if (encroaches(m_mesh.point(m_mesh.apex(e)), a, b)) {
            return true;
        }
        const std::uint32_t twin = m_mesh.halfedges[e];
        return twin != kNone && encroaches(m_mesh.point(m_mesh.apex(twin)), a, b);
    }

    void queuePiece(std::uint32_t e, bool always) {
        m_encroached.push_back({e, m_mesh.org(e), m_mesh.dest(e), always});
    }

    // Queues the segment piece e when a corner next to it encroaches it
    // (each piece once, from its lower half-edge).
    void checkPiece(std::uint32_t e) {
        const std::uint32_t twin = m_mesh.halfedges[e];
        if (m_mesh.isSegment(e) && (twin == kNone || e < twin) && isEncroached(e)) {
            queuePiece(e, false);
        }
    }

    void checkTriangle(std::uint32_t t, std::uint8_t attempts) {
        const Shape shape = shapeOf(corner(t, 0), corner(t, 1), corner(t, 2));
        const std::uint32_t* corners = &m_mesh.triangles[3 * std::size_t{t}];
        const BadTriangle bad{shape.cosSquared, t, {corners[0], corners[1], corners[2]}, attempts};
        // Small angles first, the smallest first, then large areas in the
        // order they appear: a queue keeps the work near the last point.
        if (shape.cosSquared > m_cosSquaredBound) {
            m_sharp.push(bad);
        } else if (m_bounds.maxArea > 0 && shape.area > m_bounds.maxArea) {
            m_large.push_back(bad);
        }
    }

    // Whether the smallest angle of t, at the corner opposite its shortest
    // edge, is one that the segments force: it lies between two segments,
    // or its shortest edge joins split points at equal distances from the
    // end two segments share, at under 60 degrees (splitting there would
    // only make the same shape smaller).
    bool isForced(std::uint32_t t, std::uint32_t shortest) const {
        const std::uint32_t e = 3 * t + shortest;
        const std::uint32_t before = prevHalfedge(e), after = nextHalfedge(e);
        if (m_mesh.isSegment(before) && m_mesh.isSegment(after) &&
            m_mesh.segmentOf[before] != m_mesh.segmentOf[after]) {
            return true;
        }
        const std::uint32_t p = m_mesh.org(e), q = m_mesh.dest(e);
        const std::uint32_t sp = m_onSegment[p], sq = m_onSegment[q];
        if (sp == kFree || sq == kFree || sp == sq) {
            return false;
        }
        const SegmentEnds &a = m_segments[sp], &b = m_segments[sq];
        std::uint32_t apex = kNone;
        if (a.from == b.from || a.from == b.to) {
            apex = a.from;
        } else if (a.to == b.from || a.to == b.to) {
            apex = a.to;
        }
        if (apex == kNone) {
            return false;
        }
        const Point c = m_mesh.point(apex), pp = m_mesh.point(p), pq = m_mesh.point(q);
        const double dp = squaredDistance(c, pp), dq = squaredDistance(c, pq);
        const double dot = (pp.x - c.x) * (pq.x - c.x) + (pp.y - c.y) * (pq.y - c.y);
        const bool sharp = dot > 0 && 4 * dot * dot > dp * dq; // cos > 1/2
        return sharp && dp < 1.02 * dq && dq < 1.02 * dp;
    }

    // The new point for a bad triangle: Üngör's off-centre, on the
    // bisector of the shortest edge where the triangle it makes with that
    // edge just meets the angle bound, when it lies nearer than the
    // circumcentre; the circumcentre for triangles too large only.
    Point steinerPoint(std::uint32_t t, std::uint32_t shortest, bool angleBad) const {
        const Point p = corner(t, shortest), q = corner(t, (shortest + 1) % 3),
                    r = corner(t, (shortest + 2) % 3);
        const auto [cx, cy] = circumcenter(p.x, p.y, q.x, q.y, r.x, r.y);
        if (!angleBad) {
            return {cx, cy};
        }
        const Point middle{(p.x + q.x) / 2, (p.y + q.y) / 2};
        // The left normal of p -> q, scaled to the edge, points into t.
        const Point off{middle.x - m_offCentre * (q.y - p.y), middle.y + m_offCentre * (q.x - p.x)};
        const bool centreFinite = std::isfinite(cx) && std::isfinite(cy);
        if (!centreFinite || squaredDistance(middle, off) < squaredDistance(middle, {cx, cy})) {
            return off;
        }
        return {cx, cy};
    }

    void splitTriangle(const BadTriangle& bad) {
        const std::uint32_t t = bad.triangle;
        const Shape shape = shapeOf(corner(t, 0), corner(t, 1), corner(t, 2));
        const bool angleBad = shape.cosSquared > m_cosSquaredBound && !isForced(t, shape.shortest);
        const bool areaBad = m_bounds.maxArea > 0 && shape.area > m_bounds.maxArea;
        if (!angleBad && !areaBad) {
            return;
        }
        const Point p = steinerPoint(t, shape.shortest, angleBad);
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            return;
        }
        const CavityMesh::Location at = m_mesh.locate(t, p);
        if (at.blockedBy != kNone) {
            // Beyond a segment: the segment goes first.
            deferSplit(bad, {at.blockedBy});
            return;
        }
        if (at.triangle == kNone) {
            return;
        }
        // A point on a segment makes no fan, but encroaches the segment.
        const bool fits = m_mesh.gatherCavity(at.triangle, p);
        std::vector<std::uint32_t> encroached;
        for (const std::uint32_t e : m_mesh.rim()) {
            if (m_mesh.isSegment(e) &&
                encroaches(p, m_mesh.point(m_mesh.org(e)), m_mesh.point(m_mesh.dest(e)))) {
                encroached.push_back(e);
            }
        }
        if (!encroached.empty()) {
            deferSplit(bad, encroached);
            return;
        }
        if (fits) {
            inserted(m_mesh.insertGathered(p), kFree);
        }
    }

    // Splits the pieces instead of adding the point that encroaches them,
    // and tries the triangle again afterwards (if it survives).
    void deferSplit(const BadTriangle& bad, const std::vector<std::uint32_t>& pieces) {
        for (const std::uint32_t e : pieces) {
            queuePiece(e, true);
        }
        if (bad.attempts < kMaxAttempts) {
            checkTriangle(bad.triangle, static_cast<std::uint8_t>(bad.attempts + 1));
        }
    }

    bool isShellCentreOf(std::uint32_t v, const SegmentEnds& segment) const {
        return v < m_inputVertices && (v == segment.from || v == segment.to) && m_shellCentre[v];
    }

    // Where to split the piece e: its midpoint, or, when one end is an
    // input vertex where segments meet at a small angle, the point at the
    // power of two nearest half the piece's length from that end.
    Point splitPoint(std::uint32_t e) const {
        const SegmentEnds& segment = m_segments[m_mesh.segmentOf[e]];
        std::uint32_t from = m_mesh.org(e), to = m_mesh.dest(e);
        const bool atFrom = isShellCentreOf(from, segment), atTo = isShellCentreOf(to, segment);
        const Point a = m_mesh.point(from), b = m_mesh.point(to);
        if (atFrom == atTo) {
            return {(a.x + b.x) / 2, (a.y + b.y) / 2};
        }
        const Point centre = atFrom ? a : b, other = atFrom ? b : a;
        const double length = std::sqrt(squaredDistance(a, b));
        const double radius = std::exp2(std::floor(std::log2(length / 2) + 0.5));
        const double s = radius / length;
        return {centre.x + s * (other.x - centre.x), centre.y + s * (other.y - centre.y)};
    }

    void splitPiece(std::uint32_t e) {
        const Point p = splitPoint(e);
        const std::uint32_t segment = m_mesh.segmentOf[e];
        if (m_mesh.gatherCavity(kNone, p, e)) {
            inserted(m_mesh.insertGathered(p), segment);
        }
    }

    void inserted(std::uint32_t vertex, std::uint32_t segment) {
        m_onSegment.push_back(segment);
        if (vertex - m_inputVertices >= m_bounds.maxSteiner) {
            throw std::runtime_error(
                "refine: more than maxSteiner = " + std::to_string(m_bounds.maxSteiner) +
                " new points needed; the bounds cannot be met");
        }
        for (const std::uint32_t t : m_mesh.newTriangles()) {
            for (std::uint32_t e = 3 * t; e < 3 * t + 3; ++e) {
                checkPiece(e);
                const std::uint32_t twin = m_mesh.halfedges[e];
                if (twin != kNone) {
                    checkPiece(twin);
                }
            }
            checkTriangle(t, 0);
        }
    }

    // The triangles left with a small angle that the segments force; any
    // other one left over would be a fault, which the count then misses.
    std::size_t countForced() const {
        std::size_t forced = 0;
        for (std::uint32_t t = 0; t < m_mesh.triangleCount(); ++t) {
            const Shape shape = shapeOf(corner(t, 0), corner(t, 1), corner(t, 2));
            forced += shape.cosSquared > m_cosSquaredBound && isForced(t, shape.shortest);
        }
        return forced;
    }

    CavityMesh& m_mesh;
    const std::vector<SegmentEnds>& m_segments;
    const std::uint32_t m_inputVertices;
    const Bounds m_bounds;
    const double m_cosSquaredBound; // above it an angle is too small
    const double m_offCentre;       // the off-centre's distance from the edge, per edge length
    std::vector<std::uint32_t> m_onSegment; // the segment a new vertex split, or kFree
    std::vector<bool> m_shellCentre;
    std::deque<EncroachedPiece> m_encroached;
    std::priority_queue<BadTriangle> m_sharp;
    std::deque<BadTriangle> m_large;
};

} // namespace

bool hasAngleUnder(Point a, Point b, Point c, double minAngle) {
    return minAngle > 0 && shapeOf(a, b, c).cosSquared > cosSquaredOf(minAngle);
}

std::size_t refineMesh(CavityMesh& mesh, const std::vector<SegmentEnds>& segments,
                       std::uint32_t inputVertices, const Bounds& bounds) {
    return Refiner(mesh, segments, inputVertices, bounds).run();
}

} // namespace Refinement
} // namespace EdgeAlgebra
