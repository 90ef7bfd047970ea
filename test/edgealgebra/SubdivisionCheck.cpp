#include "SubdivisionCheck.h"

#include "ExactOracle.h"
#include "SubdivisionAudit.h"
#include "edgealgebra/QuadEdge.h"

#include <sstream>

using EdgeAlgebra::DelaunayTriangulation;
using EdgeAlgebra::QuadEdge;
using EdgeAlgebra::Site;

namespace SubdivisionCheck {

namespace {

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

namespace {

TessaroFuzz::SubdivisionTopology topologyOf(const DelaunayTriangulation& triangulation,
                                            const std::vector<Site*>& sorted) {
    return TessaroFuzz::auditTopology(triangulation.getLeftEdge(), triangulation.getRightEdge(),
                                      sorted);
}

} // namespace

std::string findTopologyFault(const DelaunayTriangulation& triangulation,
                              const std::vector<Site*>& sorted) {
    return topologyOf(triangulation, sorted).fault;
}

std::string findPlanarityFault(const DelaunayTriangulation& triangulation,
                               const std::vector<Site*>& sorted) {
    const TessaroFuzz::SubdivisionTopology topology = topologyOf(triangulation, sorted);
    if (!topology.fault.empty() || sorted.size() < 2) {
        return topology.fault;
    }
    const auto& faces = topology.faces;
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
    const TessaroFuzz::SubdivisionTopology topology = topologyOf(triangulation, sorted);
    if (!topology.fault.empty() || sorted.size() < 2) {
        return topology.fault;
    }
    const ExactOracle oracle(sorted);
    const std::size_t edges = topology.edges;
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
    for (const auto& face : topology.faces) {
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
