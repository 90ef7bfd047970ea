#include "construction/StripCuts.h"

#include "construction/DivideAndConquerSteps.h"
#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/Site.h"
#include "predicates/ExactSign.h"
#include "sorting/RadixSort.h"
#include "structure/CompactSubdivision.h"
#include "structure/RingQueue.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace EdgeAlgebra {

namespace {

using Record = CompactSubdivision::Record;

// A site's coordinates, stored densely in the order the build visits them,
// with the site's position in the caller's sorted vector.
struct CopiedSite {
    float x;
    float y;
    std::uint32_t site;
};

// Raised inside the build when four distinct sites turn out exactly
// cocircular: the triangulation may then not be unique, and the caller falls
// back to vertical cuts without finishing this one.
struct NotUnique {};

// Halves are cut in two orders. Vertical cuts split the sites in their sort
// order (x, then y), which is the order of their positions `site`.
// Horizontal cuts split them in the same order seen in a frame turned by a
// quarter turn clockwise, (x, y) -> (y, -x): ascending y, then descending x.
// A turn keeps every orientation, so the merge of Guibas and Stolfi works
// unchanged on halves separated in either order.

// The compact structure and the exact predicates on its vertices, as the
// shared steps of the divide and conquer see them.
class CompactMesh {
public:
    using Edge = Record;
    using Vertex = std::uint32_t;

    CompactMesh(CompactSubdivision& edges, const ScratchVector<CopiedSite>& vertices)
        : m_edges(edges), m_vertices(vertices) {}

    static Edge sym(Edge e) { return CompactSubdivision::sym(e); }
    Edge onext(Edge e) const { return m_edges.onext(e); }
    Edge oprev(Edge e) const { return m_edges.oprev(e); }
    Edge lnext(Edge e) const { return m_edges.lnext(e); }
    Edge rprev(Edge e) const { return m_edges.rprev(e); }
    Vertex org(Edge e) const { return m_edges.org(e); }
    Vertex dest(Edge e) const { return m_edges.dest(e); }
    Edge makeEdge(Vertex origin, Vertex destination) {
        return m_edges.makeEdge(origin, destination);
    }
    void splice(Edge a, Edge b) { m_edges.splice(a, b); }
    Edge connect(Edge a, Edge b) { return m_edges.connect(a, b); }
    void removeEdge(Edge e) { m_edges.removeEdge(e); }

    // The predicates of Site, on vertex indices: the same exact decisions.
    // Vertices are distinct sites, so equal indices are the only coincidence.
    bool ccw(std::uint32_t a, std::uint32_t b, std::uint32_t c) const {
        if (a == b || a == c || b == c) {
            return false;
        }
        const CopiedSite &va = m_vertices[a], &vb = m_vertices[b], &vc = m_vertices[c];
        const int sign =
            SitePredicateDetail::filteredOrientation(va.x, va.y, vb.x, vb.y, vc.x, vc.y);
        if (sign != 0) {
            return sign > 0;
        }
        return ExactSign::orientation(va.x, va.y, vb.x, vb.y, vc.x, vc.y) > 0;
    }

    // d strictly inside the circle through a, b, c (counterclockwise).
    bool inCircle(std::uint32_t d, std::uint32_t a, std::uint32_t b, std::uint32_t c) const {
        if (d == a || d == b || d == c || a == b || a == c || b == c) {
            return false;
        }
        const int sign = inCircleSign(a, b, c, d);
        if (sign == 0) {
            throw NotUnique();
        }
        return sign > 0;
    }

    // Exact sign of the in-circle determinant of d against a, b, c (distinct).
    int inCircleSign(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) const {
        const CopiedSite &va = m_vertices[a], &vb = m_vertices[b], &vc = m_vertices[c],
                         &vd = m_vertices[d];
        const int sign =
            SitePredicateDetail::filteredInCircle(va.x, va.y, vb.x, vb.y, vc.x, vc.y, vd.x, vd.y);
        if (sign != 0) {
            return sign;
        }
        return ExactSign::inCircle(va.x, va.y, vb.x, vb.y, vc.x, vc.y, vd.x, vd.y);
    }

private:
    CompactSubdivision& m_edges;
    const ScratchVector<CopiedSite>& m_vertices;
};

// The hull edges of a sub-triangulation in the order of its cuts: le is the
// counterclockwise hull edge out of its first vertex, re the clockwise hull
// edge out of its last.
using HullEdges = DivideAndConquerSteps::HullEdges<CompactMesh>;

// Strips of about sqrt(n log n) sites (Dwyer's choice): the horizontal cuts
// inside a strip then give cells that stay roughly square down to about
// log n sites, and the vertical merges of the strips are few.
std::uint32_t stripSites(std::size_t n) {
    const double count = static_cast<double>(n);
    return static_cast<std::uint32_t>(std::max(3.0, std::sqrt(count * std::log2(count))));
}

class Builder {
public:
    explicit Builder(ScratchVector<CopiedSite>& vertices)
        : m_vertices(vertices), m_edges(3 * vertices.size()), m_mesh(m_edges, vertices),
          m_stripSites(stripSites(vertices.size())) {}

    // Orders the vertices for the cuts, then triangulates them all; the hull
    // edges returned are those of the sort order.
    HullEdges run() {
        const auto n = static_cast<std::uint32_t>(m_vertices.size());
        arrange(0, n);
        return build(0, n);
    }

    CompactSubdivision& edges() { return m_edges; }

    // Every interior edge strictly locally Delaunay: the far vertex of the
    // triangle on its right lies strictly outside the circle of the triangle on
    // its left. Every face but the outer one is a counterclockwise triangle;
    // edges on the outer face (all of them, for a collinear chain) have no
    // second triangle.
    bool isStrictlyDelaunay(HullEdges hull) const {
        std::vector<bool> onHull(m_edges.quadSlots(), false);
        Record e = hull.le;
        do {
            onHull[CompactSubdivision::quadOf(e)] = true;
            e = m_edges.rprev(e);
        } while (e != hull.le);
        const std::uint32_t slots = m_edges.quadSlots();
        for (std::uint32_t q = 0; q < slots; ++q) {
            // The two far vertices come from the quads next around the edge's
            // ends, scattered in memory: fetch them a few quads ahead.
            const std::uint32_t ahead = q + kCheckPrefetchDistance;
            if (ahead < slots && m_edges.isLive(ahead)) {
                m_edges.prefetch(m_edges.onext(4 * ahead + 1));
                m_edges.prefetch(m_edges.onext(4 * ahead + 3));
            }
            if (!m_edges.isLive(q) || onHull[q]) {
                continue;
            }
            const Record edge = 4 * q;
            const std::uint32_t left = m_edges.dest(m_edges.lnext(edge));
            const std::uint32_t right = m_edges.dest(m_edges.lnext(CompactSubdivision::sym(edge)));
            if (m_mesh.inCircleSign(m_edges.org(edge), m_edges.dest(edge), left, right) >= 0) {
                return false;
            }
        }
        return true;
    }

private:
    static constexpr std::uint32_t kCheckPrefetchDistance = 16;

    bool isStrip(std::uint32_t lo, std::uint32_t hi) const { return hi - lo <= m_stripSites; }

    // Vertical strips come from halving the sorted vertices; each strip is
    // then sorted in the turned order for its horizontal cuts.
    void arrange(std::uint32_t lo, std::uint32_t hi) {
        if (isStrip(lo, hi)) {
            sortStripInTurnedOrder(lo, hi);
            return;
        }
        const std::uint32_t mid = lo + (hi - lo) / 2;
        arrange(lo, mid);
        arrange(mid, hi);
    }

    // A strip is a run of the sites in their sort order (ascending x).
    // Reversed, it is in descending x; a stable radix sort by y then gives
    // the turned order (ascending y, ties by descending x).
    void sortStripInTurnedOrder(std::uint32_t lo, std::uint32_t hi) {
        CopiedSite* const first = m_vertices.data() + lo;
        CopiedSite* const last = m_vertices.data() + hi;
        std::reverse(first, last);
        m_sortBuffer.resize(hi - lo);
        radixSortByKey(
            first, last, m_sortBuffer.data(), [](const CopiedSite& v) { return floatSortKey(v.y); },
            32);
    }

    // Vertical cuts down to the strips; the hull edges are those of the sort
    // order.
    HullEdges build(std::uint32_t lo, std::uint32_t hi) {
        if (isStrip(lo, hi)) {
            return inSortOrder(buildStrip(lo, hi));
        }
        const std::uint32_t mid = lo + (hi - lo) / 2;
        const HullEdges left = build(lo, mid);
        const HullEdges right = build(mid, hi);
        return DivideAndConquerSteps::merge(m_mesh, left, right);
    }

    // Horizontal cuts within a strip; the hull edges are those of the turned
    // order.
    HullEdges buildStrip(std::uint32_t lo, std::uint32_t hi) {
        if (hi - lo == 2) {
            return DivideAndConquerSteps::triangulateTwo(m_mesh, lo, lo + 1);
        }
        if (hi - lo == 3) {
            return DivideAndConquerSteps::triangulateThree(m_mesh, lo, lo + 1, lo + 2);
        }
        const std::uint32_t mid = lo + (hi - lo) / 2;
        const HullEdges lower = buildStrip(lo, mid);
        const HullEdges upper = buildStrip(mid, hi);
        return DivideAndConquerSteps::merge(m_mesh, lower, upper);
    }

    // The hull edges of the same sub-triangulation in the sort order of the
    // sites: walks once around its outer face (a collinear chain is walked out
    // and back) and picks the edges at the first and the last site.
    HullEdges inSortOrder(HullEdges hull) const {
        const auto position = [this](std::uint32_t v) { return m_vertices[v].site; };
        Record first = hull.le;
        Record intoLast = hull.le;
        Record e = hull.le;
        do {
            if (position(m_edges.org(e)) < position(m_edges.org(first))) {
                first = e;
            }
            if (position(m_edges.dest(intoLast)) < position(m_edges.dest(e))) {
                intoLast = e;
            }
            e = m_edges.rprev(e);
        } while (e != hull.le);
        return {first, CompactSubdivision::sym(intoLast)};
    }

    ScratchVector<CopiedSite>& m_vertices;
    CompactSubdivision m_edges;
    CompactMesh m_mesh;
    std::uint32_t m_stripSites;
    std::vector<CopiedSite> m_sortBuffer;
};

// Whether sorted positions i < j fall into one leaf of the vertical cuts
// (which halve [0, n) at (lo + hi) / 2 down to two or three sites).
bool inOneVerticalLeaf(std::uint32_t i, std::uint32_t j, std::uint32_t n) {
    std::uint32_t lo = 0, hi = n;
    while (hi - lo > 3) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        if (j < mid) {
            hi = mid;
        } else if (i >= mid) {
            lo = mid;
        } else {
            return false;
        }
    }
    return true;
}

// The origin, as a sorted position, that vertical cuts give the quad between
// sorted positions i < j. A merge connects from its upper half to its lower
// half, so every edge between two leaves starts at the later site. In a leaf
// the first two edges run forwards (s1 to s2, s2 to s3) and the closing edge
// of a triangle backwards (s3 to s1).
std::uint32_t verticalCutOrigin(std::uint32_t i, std::uint32_t j, std::uint32_t n) {
    if (j - i <= 2 && inOneVerticalLeaf(i, j, n)) {
        return j == i + 1 ? i : j;
    }
    return j;
}

// The record `position` steps of rot from e, without a branch on the position
// (the positions met while writing out are unpredictable).
QuadEdge* rotated(QuadEdge* e, std::uint32_t position) {
    QuadEdge* turned = (position & 1) != 0 ? e->rot() : e;
    return (position & 2) != 0 ? turned->sym() : turned;
}

// Writes the compact triangulation out as quad-edges: one new QuadEdge per
// live quad, turned by half a turn where vertical cuts would have made the
// edge in the other direction.
class QuadWriter {
public:
    QuadWriter(CompactSubdivision& edges, const ScratchVector<CopiedSite>& vertices,
               const std::vector<Site*>& sites)
        : m_edges(edges), m_vertices(vertices), m_sites(sites) {}

    // Frees the quads made so far unless the writing finished.
    ~QuadWriter() {
        if (m_done) {
            return;
        }
        for (std::uint32_t q = 0; q < m_edges.quadSlots(); ++q) {
            if (m_edges.isLive(q) && m_edges.payload(q) != nullptr) {
                delete firstRecord(q)->canonical();
            }
        }
    }
    QuadWriter(const QuadWriter&) = delete;
    QuadWriter& operator=(const QuadWriter&) = delete;

    // Quads are made in the order in which a traversal from `start` meets
    // them (the walk of QuadTraversal, on the compact records), so that the
    // edge walker and the destructor later run through memory in address
    // order instead of jumping across it.
    void write(Record start) {
        makeQuadsInTraversalOrder(start);
        // The quads' blocks are now in traversal order, not in compact order:
        // fetch each one a few quads ahead, ready to be written.
        const std::uint32_t slots = m_edges.quadSlots();
        for (std::uint32_t q = 0; q < slots; ++q) {
            if (q + kPrefetchDistance < slots && m_edges.isLive(q + kPrefetchDistance)) {
                __builtin_prefetch(m_edges.payload(q + kPrefetchDistance), 1);
            }
            if (!m_edges.isLive(q)) {
                continue;
            }
            QuadEdge* first = firstRecord(q);
            const Record e = 4 * q;
            first->setNext(record(m_edges.onext(e)));
            first->rot()->setNext(record(m_edges.onext(e + 1)));
            first->sym()->setNext(record(m_edges.onext(e + 2)));
            first->invRot()->setNext(record(m_edges.onext(e + 3)));
            first->setOrg(m_sites[m_vertices[m_edges.org(e)].site]);
            first->setDest(m_sites[m_vertices[m_edges.dest(e)].site]);
        }
        m_done = true;
    }

    // The quad-edge record written for compact record e.
    QuadEdge* record(Record e) const {
        return rotated(firstRecord(CompactSubdivision::quadOf(e)), e & 3);
    }

private:
    static constexpr std::size_t kPrefetchDistance = 8;
    static constexpr std::size_t kVertexPrefetchDistance = 16;

    // The record that position 0 of compact quad q became, kept in the
    // quad's payload word.
    QuadEdge* firstRecord(std::uint32_t q) const {
        return static_cast<QuadEdge*>(m_edges.payload(q));
    }

    // Breadth first from start, as QuadTraversal walks: makes each quad's
    // block when the quad is first met, then queues the next edges around both
    // ends of the record it was met by.
    void makeQuadsInTraversalOrder(Record start) {
        const auto n = static_cast<std::uint32_t>(m_vertices.size());
        RingQueue<Record> pending;
        pending.push(start);
        while (!pending.empty()) {
            // The queued quads were fetched when queued; their end vertices,
            // needed to turn them, are fetched a few pops ahead.
            if (pending.size() > kVertexPrefetchDistance) {
                const Record later = pending.peek(kVertexPrefetchDistance);
                __builtin_prefetch(&m_vertices[m_edges.org(later)]);
                __builtin_prefetch(&m_vertices[m_edges.dest(later)]);
            }
            const Record e = pending.pop();
            const std::uint32_t q = CompactSubdivision::quadOf(e);
            if (m_edges.payload(q) != nullptr) {
                continue;
            }
            const std::uint32_t from = m_vertices[m_edges.org(4 * q)].site;
            const std::uint32_t to = m_vertices[m_edges.dest(4 * q)].site;
            const std::uint32_t origin =
                verticalCutOrigin(std::min(from, to), std::max(from, to), n);
            QuadEdge* canonical = new QuadEdge;
            m_edges.setPayload(q, origin == from ? canonical : canonical->sym());
            for (const Record next :
                 {m_edges.onext(e), m_edges.onext(CompactSubdivision::sym(e))}) {
                m_edges.prefetch(next);
                pending.push(next);
            }
        }
    }

    CompactSubdivision& m_edges;
    const ScratchVector<CopiedSite>& m_vertices;
    const std::vector<Site*>& m_sites;
    bool m_done = false;
};

} // namespace

bool StripCuts::triangulate(const std::vector<Site*>& sites, QuadEdge** leftEdge,
                            QuadEdge** rightEdge) {
    if (sites.size() > UINT32_MAX / 16) {
        return false;
    }
    // One pass over the caller's sites: copies the finite ones, which sort
    // first, and checks that they are distinct and that every site after them
    // is non-finite.
    ScratchVector<CopiedSite> vertices;
    vertices.reserve(sites.size());
    for (std::size_t i = 0; i < sites.size(); ++i) {
        const Site* s = sites[i];
        if (!s->isFinite()) {
            continue;
        }
        if (vertices.size() != i) {
            return false; // a finite site after a non-finite one: not sorted
        }
        if (i > 0 && vertices.back().x == s->x && vertices.back().y == s->y) {
            return false; // coincident sites
        }
        vertices.push_back({s->x, s->y, static_cast<std::uint32_t>(i)});
    }
    if (vertices.size() < 2) {
        return false;
    }
    Builder builder(vertices);
    HullEdges hull{};
    try {
        hull = builder.run();
    } catch (const NotUnique&) {
        return false;
    }
    if (!builder.isStrictlyDelaunay(hull)) {
        return false;
    }
    QuadWriter writer(builder.edges(), vertices, sites);
    writer.write(hull.le);
    *leftEdge = writer.record(hull.le);
    *rightEdge = writer.record(hull.re);
    return true;
}

} // namespace EdgeAlgebra
