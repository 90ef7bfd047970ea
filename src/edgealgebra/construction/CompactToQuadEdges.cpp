#include "construction/CompactToQuadEdges.h"

#include "construction/CompactConstruction.h"
#include "edgealgebra/QuadEdge.h"
#include "edgealgebra/Site.h"
#include "parallel/ForkJoin.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace EdgeAlgebra {

namespace {

using Record = CompactSubdivision::Record;

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
// edge in the other direction. Chunks of quads are written on up to `threads`
// threads: first every quad's block is made, then every block is linked.
class QuadWriter {
public:
    QuadWriter(const CompactTriangulation<float>& built, const std::vector<Site*>& sites,
               unsigned threads)
        : m_edges(built.edges), m_vertices(built.vertices), m_sites(sites), m_threads(threads),
          m_first(m_edges.quadSlots()) {
        forEachChunk([this](std::uint32_t q) { m_first[q] = nullptr; });
    }

    // Frees the quads made so far unless the writing finished.
    ~QuadWriter() {
        if (m_done) {
            return;
        }
        for (std::uint32_t q = 0; q < m_edges.quadSlots(); ++q) {
            if (m_first[q] != nullptr) {
                delete m_first[q]->canonical();
            }
        }
    }
    QuadWriter(const QuadWriter&) = delete;
    QuadWriter& operator=(const QuadWriter&) = delete;

    void write() {
        const auto n = static_cast<std::uint32_t>(m_vertices.size());
        forEachChunk([this, n](std::uint32_t q) {
            if (m_edges.isLive(q)) {
                const std::uint32_t from = m_vertices[m_edges.org(4 * q)].site;
                const std::uint32_t to = m_vertices[m_edges.dest(4 * q)].site;
                const std::uint32_t origin =
                    verticalCutOrigin(std::min(from, to), std::max(from, to), n);
                QuadEdge* canonical = new QuadEdge;
                m_first[q] = origin == from ? canonical : canonical->sym();
            }
        });
        forEachChunk([this](std::uint32_t q) {
            // The links name quads all over the array: fetch a few ahead.
            if (q + kPrefetchDistance < m_edges.quadSlots()) {
                __builtin_prefetch(m_first[q + kPrefetchDistance], 1);
            }
            if (m_edges.isLive(q)) {
                link(q);
            }
        });
        m_done = true;
    }

    // The quad-edge record written for compact record e.
    QuadEdge* record(Record e) const {
        return rotated(m_first[CompactSubdivision::quadOf(e)], e & 3);
    }

private:
    static constexpr std::uint32_t kChunkQuads = 1u << 16;
    static constexpr std::uint32_t kPrefetchDistance = 8;

    template <typename Visit>
    void forEachChunk(Visit visit) {
        ForkJoin::forEachRange(m_threads, m_edges.quadSlots(), kChunkQuads,
                               [&visit](std::uint32_t begin, std::uint32_t end) {
                                   for (std::uint32_t q = begin; q < end; ++q) {
                                       visit(q);
                                   }
                               });
    }

    void link(std::uint32_t q) {
        QuadEdge* first = m_first[q];
        const Record e = 4 * q;
        first->setNext(record(m_edges.onext(e)));
        first->rot()->setNext(record(m_edges.onext(e + 1)));
        first->sym()->setNext(record(m_edges.onext(e + 2)));
        first->invRot()->setNext(record(m_edges.onext(e + 3)));
        first->setOrg(m_sites[m_vertices[m_edges.org(e)].site]);
        first->setDest(m_sites[m_vertices[m_edges.dest(e)].site]);
    }

    const CompactSubdivision& m_edges;
    const PageArray<CompactVertex<float>>& m_vertices;
    const std::vector<Site*>& m_sites;
    unsigned m_threads;
    PageArray<QuadEdge*> m_first;
    bool m_done = false;
};

} // namespace

bool CompactToQuadEdges::triangulateWithStrips(const std::vector<Site*>& sites, QuadEdge** leftEdge,
                                               QuadEdge** rightEdge, unsigned threads) {
    if (sites.size() > UINT32_MAX / 16) {
        return false;
    }
    // One pass over the caller's sites: copies the finite ones, which sort
    // first, and checks that they are distinct and that every site after them
    // is non-finite.
    std::size_t finite = 0;
    while (finite < sites.size() && sites[finite]->isFinite()) {
        ++finite;
    }
    PageArray<CompactVertex<float>> vertices(finite);
    for (std::size_t i = 0; i < sites.size(); ++i) {
        const Site* s = sites[i];
        if (i >= finite) {
            if (s->isFinite()) {
                return false; // a finite site after a non-finite one: not sorted
            }
            continue;
        }
        if (i > 0 && vertices[i - 1].x == s->x && vertices[i - 1].y == s->y) {
            return false; // coincident sites
        }
        vertices[i] = {s->x, s->y, static_cast<std::uint32_t>(i)};
    }
    if (finite < 2) {
        return false;
    }
    CompactTriangulation<float> built;
    if (!CompactConstruction::buildWithStrips<float, Cocircular::Decline>(vertices, built,
                                                                          threads)) {
        return false;
    }
    QuadWriter writer(built, sites, threads);
    writer.write();
    *leftEdge = writer.record(built.first);
    *rightEdge = writer.record(built.last);
    return true;
}

} // namespace EdgeAlgebra
