#include "SubdivisionAudit.h"

#include "edgealgebra/EdgeWalker.h"

#include <algorithm>
#include <set>

using EdgeAlgebra::QuadEdge;
using EdgeAlgebra::Site;

namespace TessaroFuzz {

namespace {

using Records = std::vector<QuadEdge*>;

bool isPrimal(const QuadEdge* r) {
    return r == r->canonical() || r == r->canonical()->sym();
}

// Every record reachable from start through rot and onext, or an empty list
// when there are more than `limit` of them.
Records reachableRecords(QuadEdge* start, std::size_t limit) {
    std::set<QuadEdge*> seen{start};
    Records order{start};
    for (std::size_t i = 0; i < order.size(); ++i) {
        for (QuadEdge* next : {order[i]->rot(), order[i]->onext()}) {
            if (seen.insert(next).second) {
                if (order.size() == limit) {
                    return {};
                }
                order.push_back(next);
            }
        }
    }
    return order;
}

std::string recordFault(const QuadEdge* r) {
    const QuadEdge* q = r->canonical();
    if (r->rot()->rot() != r->sym() || r->sym()->sym() != r || r->invRot()->rot() != r ||
        r->rot()->invRot() != r || r->rot()->rot()->rot()->rot() != r ||
        r->rot()->canonical() != q || r->sym()->canonical() != q || q->canonical() != q) {
        return "quad invariants broken";
    }
    if (isPrimal(r) != (r->org() != nullptr)) {
        return "origin missing on a primal record or set on a dual one";
    }
    if (r->onext()->oprev() != r) {
        return "onext and oprev are not inverse";
    }
    if (isPrimal(r) != isPrimal(r->onext())) {
        return "an origin ring mixes primal and dual records";
    }
    return "";
}

// Orbits of `step` over the primal records. A fault when an orbit does not
// come back to its start within `bound` steps.
template <typename Step>
std::string orbits(const Records& primal, Step step, std::vector<Records>& out) {
    std::set<QuadEdge*> done;
    for (QuadEdge* start : primal) {
        if (done.count(start) != 0) {
            continue;
        }
        out.emplace_back();
        QuadEdge* r = start;
        do {
            if (!done.insert(r).second || out.back().size() > primal.size()) {
                return "a ring does not close";
            }
            out.back().push_back(r);
            r = step(r);
        } while (r != start);
    }
    return "";
}

bool samePosition(const Site* a, const Site* b) {
    return a->x == b->x && a->y == b->y;
}

// Distinct positions on the boundary of the convex hull, collinear boundary
// sites included (monotone chain that pops only on strict clockwise turns).
std::size_t hullBoundarySize(const std::vector<Site*>& sorted) {
    std::vector<const Site*> distinct;
    for (const Site* s : sorted) {
        if (distinct.empty() || !samePosition(distinct.back(), s)) {
            distinct.push_back(s);
        }
    }
    if (distinct.size() < 3) {
        return distinct.size();
    }
    std::size_t total = 0;
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<const Site*> chain;
        for (const Site* s : distinct) {
            while (chain.size() >= 2 && chain[chain.size() - 2]->ccw(s, chain.back())) {
                chain.pop_back();
            }
            chain.push_back(s);
        }
        total += chain.size() - 1;
        std::reverse(distinct.begin(), distinct.end());
    }
    return total;
}

bool allCollinear(const std::vector<Site*>& sorted) {
    const Site* a = sorted.front();
    const Site* b = sorted.back();
    return std::none_of(sorted.begin(), sorted.end(),
                        [&](const Site* s) { return a->ccw(b, s) || a->ccw(s, b); });
}

bool hasCoincidentSites(const std::vector<Site*>& sorted) {
    return std::adjacent_find(sorted.begin(), sorted.end(), samePosition) != sorted.end();
}

std::string ringFault(const std::vector<Records>& rings, const std::vector<Site*>& sorted) {
    std::set<const Site*> origins;
    for (const Records& ring : rings) {
        for (const QuadEdge* r : ring) {
            if (r->org() != ring.front()->org()) {
                return "an origin ring mixes origins";
            }
        }
        if (!origins.insert(ring.front()->org()).second) {
            return "a site has two origin rings";
        }
    }
    if (origins != std::set<const Site*>(sorted.begin(), sorted.end())) {
        return "the ring origins are not exactly the sites";
    }
    return "";
}

// Faces of a triangulation of distinct sites: ccw triangles with empty
// circumcircles, and one other face, the outer one.
std::string faceFault(const std::vector<Records>& faces, const std::vector<Site*>& sorted,
                      bool checkGeometry, std::size_t& ccwTriangles) {
    std::size_t otherFaces = 0;
    for (const Records& face : faces) {
        const Site* a = face[0]->org();
        const Site* b = face[0]->dest();
        const Site* c = face[0]->lnext()->dest();
        if (face.size() != 3 || !a->ccw(b, c)) {
            ++otherFaces;
            continue;
        }
        ++ccwTriangles;
        if (checkGeometry && std::any_of(sorted.begin(), sorted.end(),
                                         [&](const Site* s) { return s->inCircle(a, b, c); })) {
            return "a site lies strictly inside a triangle's circumcircle";
        }
    }
    if (checkGeometry && otherFaces != 1) {
        return "faces other than one outer face and ccw triangles";
    }
    return "";
}

std::string countFault(std::size_t edges, const std::vector<Site*>& sorted, bool distinct) {
    const std::size_t n = sorted.size();
    if (distinct && allCollinear(sorted)) {
        return edges == n - 1 ? "" : "collinear sites: edge count is not n - 1";
    }
    const std::size_t bound = 3 * n - 3 - hullBoundarySize(sorted);
    if (edges > bound || (distinct && edges != bound)) {
        return "edge count differs from 3n - 3 - h";
    }
    return "";
}

} // namespace

SubdivisionTopology auditTopology(QuadEdge* left, QuadEdge* right,
                                  const std::vector<Site*>& sorted) {
    SubdivisionTopology result;
    if (sorted.size() < 2) {
        if (left != nullptr || right != nullptr) {
            result.fault = "hull edges set for fewer than two sites";
        }
        return result;
    }
    if (left == nullptr || right == nullptr || left->org() != sorted.front() ||
        right->org() != sorted.back()) {
        result.fault = "hull edges do not start at the first and last site";
        return result;
    }
    const Records records = reachableRecords(left, 4 * (3 * sorted.size()) + 4);
    if (records.empty()) {
        result.fault = "more records than a triangulation of these sites can have";
        return result;
    }
    std::set<QuadEdge*> quads;
    Records primal;
    for (QuadEdge* r : records) {
        result.fault = recordFault(r);
        if (!result.fault.empty()) {
            return result;
        }
        quads.insert(r->canonical());
        if (isPrimal(r)) {
            primal.push_back(r);
        }
    }
    result.edges = quads.size();
    // The key set must not depend on where the walk starts.
    for (QuadEdge* start : {left, right}) {
        std::set<QuadEdge*> walked;
        for (const auto& entry : EdgeAlgebra::EdgeWalker(start).getEdges()) {
            walked.insert(entry.first);
        }
        if (walked != quads) {
            result.fault = "the walker's keys differ from the reachable quads";
            return result;
        }
    }
    result.fault = orbits(
        primal, [](QuadEdge* r) { return r->onext(); }, result.rings);
    if (result.fault.empty()) {
        result.fault = orbits(
            primal, [](QuadEdge* r) { return r->lnext(); }, result.faces);
    }
    if (result.fault.empty()) {
        result.fault = ringFault(result.rings, sorted);
    }
    if (result.fault.empty() && result.rings.size() + result.faces.size() != quads.size() + 2) {
        result.fault = "Euler's formula fails";
    }
    return result;
}

AuditResult auditSubdivision(QuadEdge* left, QuadEdge* right, const std::vector<Site*>& sorted) {
    const SubdivisionTopology topology = auditTopology(left, right, sorted);
    AuditResult result;
    result.fault = topology.fault;
    result.edges = topology.edges;
    if (!result.fault.empty() || sorted.size() < 2) {
        return result;
    }
    const bool distinct = !hasCoincidentSites(sorted);
    result.fault = countFault(result.edges, sorted, distinct);
    if (result.fault.empty()) {
        const bool checkGeometry = distinct && !allCollinear(sorted);
        result.fault = faceFault(topology.faces, sorted, checkGeometry, result.ccwTriangles);
    }
    return result;
}

} // namespace TessaroFuzz
