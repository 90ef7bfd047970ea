#include "SubdivisionCheck.h"

#include "ExactOracle.h"
#include "edgealgebra/EdgeWalker.h"
#include "edgealgebra/QuadEdge.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

using EdgeAlgebra::DelaunayTriangulation;
using EdgeAlgebra::QuadEdge;
using EdgeAlgebra::Site;

namespace SubdivisionCheck {

namespace {

// Every record reachable from start through rot and onext.
std::set<QuadEdge*> reachableRecords(QuadEdge* start) {
    std::set<QuadEdge*> seen{start};
    std::vector<QuadEdge*> pending{start};
    while (!pending.empty()) {
        QuadEdge* r = pending.back();
        pending.pop_back();
        for (QuadEdge* next : {r->rot(), r->onext()}) {
            if (seen.insert(next).second) {
                pending.push_back(next);
            }
        }
    }
    return seen;
}

bool isPrimal(QuadEdge* r) {
    return r->canonical() == r || r->canonical()->sym() == r;
}

std::string recordFault(QuadEdge* r) {
    QuadEdge* q = r->canonical();
    if (r->rot()->rot() != r->sym() || r->sym()->sym() != r || r->rot()->invRot() != r ||
        r->rot()->rot()->rot()->rot() != r || q->canonical() != q || r->rot()->canonical() != q) {
        return "quad navigation broken";
    }
    if (isPrimal(r) != (r->org() != nullptr)) {
        return "origin set on a dual record or missing on a primal one";
    }
    if (r->onext()->oprev() != r) {
        return "onext and oprev are not inverse";
    }
    if (isPrimal(r) && (!isPrimal(r->onext()) || r->onext()->org() != r->org())) {
        return "origin ring mixes origins or records";
    }
    return "";
}

// Orbits of a permutation over the primal records; each orbit listed once.
template <typename Step>
std::vector<std::vector<QuadEdge*>> orbits(const std::vector<QuadEdge*>& primal, Step step) {
    std::set<QuadEdge*> done;
    std::vector<std::vector<QuadEdge*>> result;
    for (QuadEdge* start : primal) {
        if (done.count(start) != 0) {
            continue;
        }
        result.emplace_back();
        QuadEdge* r = start;
        do {
            done.insert(r);
            result.back().push_back(r);
            r = step(r);
        } while (r != start && result.back().size() <= primal.size());
    }
    return result;
}

std::vector<QuadEdge*> primalRecords(QuadEdge* start) {
    std::vector<QuadEdge*> primal;
    for (QuadEdge* r : reachableRecords(start)) {
        if (isPrimal(r)) {
            primal.push_back(r);
        }
    }
    return primal;
}

// Sites on the boundary of the convex hull, collinear boundary sites
// included, in counterclockwise order (Andrew's monotone chain).
std::vector<const Site*> hullBoundary(const std::vector<Site*>& sorted, const ExactOracle& oracle) {
    std::vector<const Site*> hull;
    auto build = [&](auto begin, auto end) {
        const std::size_t base = hull.size();
        for (auto it = begin; it != end; ++it) {
            while (hull.size() >= base + 2 &&
                   oracle.orientation(*hull[hull.size() - 2], *hull.back(), **it) < 0) {
                hull.pop_back();
            }
            hull.push_back(*it);
        }
        hull.pop_back();
    };
    build(sorted.begin(), sorted.end());
    build(sorted.rbegin(), sorted.rend());
    return hull;
}

bool allCollinear(const std::vector<Site*>& sorted, const ExactOracle& oracle) {
    for (const Site* s : sorted) {
        if (oracle.orientation(*sorted.front(), *sorted.back(), *s) != 0) {
            return false;
        }
    }
    return true;
}

// Twice the signed area of a face's boundary polygon (shoelace, exact).
mpq_class faceArea(const std::vector<QuadEdge*>& face) {
    mpq_class area;
    for (std::size_t i = 1; i + 1 < face.size(); ++i) {
        area += ExactOracle::doubleArea(*face[0]->org(), *face[i]->org(), *face[i + 1]->org());
    }
    return area;
}

std::string describe(const char* what, std::size_t got, std::size_t expected) {
    std::ostringstream out;
    out << what << ": got " << got << ", expected " << expected;
    return out.str();
}

} // namespace

std::string findTopologyFault(const DelaunayTriangulation& triangulation,
                              const std::vector<Site*>& sorted) {
    QuadEdge* left = triangulation.getLeftEdge();
    QuadEdge* right = triangulation.getRightEdge();
    if (sorted.size() < 2) {
        return left == nullptr && right == nullptr ? "" : "hull edges set for < 2 sites";
    }
    if (left == nullptr || right == nullptr) {
        return "hull edge missing";
    }
    if (left->org() != sorted.front() || right->org() != sorted.back()) {
        return "hull edges do not start at the first and last sorted site";
    }
    std::set<QuadEdge*> quads;
    for (QuadEdge* r : reachableRecords(left)) {
        const std::string fault = recordFault(r);
        if (!fault.empty()) {
            return fault;
        }
        quads.insert(r->canonical());
    }
    std::set<QuadEdge*> walked;
    for (const auto& entry : EdgeAlgebra::EdgeWalker(left).getEdges()) {
        walked.insert(entry.first);
    }
    if (walked != quads) {
        return "walker's key set differs from the reachable quads";
    }
    const std::vector<QuadEdge*> primal = primalRecords(left);
    const auto rings = orbits(primal, [](QuadEdge* r) { return r->onext(); });
    std::set<Site*> ringSites;
    for (const auto& ring : rings) {
        ringSites.insert(ring.front()->org());
    }
    if (rings.size() != sorted.size() || ringSites.size() != sorted.size()) {
        return describe("origin rings", rings.size(), sorted.size());
    }
    const auto faces = orbits(primal, [](QuadEdge* r) { return r->lnext(); });
    if (rings.size() + faces.size() != quads.size() + 2) {
        return "Euler's formula fails";
    }
    return "";
}

std::string findPlanarityFault(const DelaunayTriangulation& triangulation,
                               const std::vector<Site*>& sorted) {
    const std::string topologyFault = findTopologyFault(triangulation, sorted);
    if (!topologyFault.empty() || sorted.size() < 2) {
        return topologyFault;
    }
    const auto faces =
        orbits(primalRecords(triangulation.getLeftEdge()), [](QuadEdge* r) { return r->lnext(); });
    if (faces.size() == 1) {
        return faceArea(faces.front()) == 0 ? "" : "a single face that encloses area";
    }
    mpq_class outerArea, innerArea;
    for (const auto& face : faces) {
        const mpq_class area = faceArea(face);
        if (area > 0) {
            innerArea += area;
        } else if (outerArea == 0 && area < 0) {
            outerArea = -area;
        } else {
            return "a bounded face without positive area, or two outer faces";
        }
    }
    return innerArea == outerArea ? "" : "faces overlap";
}

std::string findDelaunayFault(const DelaunayTriangulation& triangulation,
                              const std::vector<Site*>& sorted) {
    const std::string topologyFault = findTopologyFault(triangulation, sorted);
    if (!topologyFault.empty() || sorted.size() < 2) {
        return topologyFault;
    }
    const ExactOracle oracle(sorted);
    const std::vector<QuadEdge*> primal = primalRecords(triangulation.getLeftEdge());
    const std::size_t edges = primal.size() / 2;
    if (allCollinear(sorted, oracle)) {
        return edges == sorted.size() - 1 ? "" : describe("edges", edges, sorted.size() - 1);
    }
    const std::vector<const Site*> hull = hullBoundary(sorted, oracle);
    if (edges != 3 * sorted.size() - 3 - hull.size()) {
        return describe("edges", edges, 3 * sorted.size() - 3 - hull.size());
    }
    mpq_class hullArea, triangleArea;
    for (std::size_t i = 1; i + 1 < hull.size(); ++i) {
        hullArea += ExactOracle::doubleArea(*hull[0], *hull[i], *hull[i + 1]);
    }
    std::size_t outerFaces = 0;
    for (const auto& face : orbits(primal, [](QuadEdge* r) { return r->lnext(); })) {
        const Site& a = *face[0]->org();
        const Site& b = *face[0]->dest();
        const Site& c = *face[0]->lnext()->dest();
        if (face.size() != 3 || oracle.orientation(a, b, c) <= 0) {
            ++outerFaces;
            continue;
        }
        triangleArea += ExactOracle::doubleArea(a, b, c);
        for (const Site* s : sorted) {
            if (oracle.inCircle(a, b, c, *s) > 0) {
                return "a site lies strictly inside a triangle's circumcircle";
            }
        }
    }
    if (outerFaces != 1) {
        return describe("faces that are not counterclockwise triangles", outerFaces, 1);
    }
    return triangleArea == hullArea ? "" : "triangles do not tile the convex hull";
}

} // namespace SubdivisionCheck
