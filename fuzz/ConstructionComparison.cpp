#include "ConstructionComparison.h"

#include "construction/CompactToQuadEdges.h"
#include "construction/VerticalCuts.h"
#include "edgealgebra/EdgeWalker.h"
#include "edgealgebra/QuadEdge.h"

#include <algorithm>
#include <iterator>
#include <tuple>
#include <utility>

using EdgeAlgebra::QuadEdge;
using EdgeAlgebra::Site;

namespace TessaroFuzz {

namespace {

// A record named by the end points of its quad's canonical record and its
// position in the quad; both builds share the sites, so names compare.
using RecordName = std::tuple<const Site*, const Site*, int>;

RecordName nameOf(QuadEdge* e) {
    QuadEdge* c = e->canonical();
    const int position = e == c ? 0 : e == c->rot() ? 1 : e == c->sym() ? 2 : 3;
    return {c->org(), c->dest(), position};
}

// Every record with its Onext, and the two hull edges: the whole subdivision.
struct Shape {
    std::vector<std::pair<RecordName, RecordName>> links;
    RecordName left;
    RecordName right;
};

bool operator==(const Shape& a, const Shape& b) {
    return a.links == b.links && a.left == b.left && a.right == b.right;
}

// Describes the subdivision, then frees it.
Shape takeApart(QuadEdge* left, QuadEdge* right) {
    Shape shape;
    if (left == nullptr) {
        return shape;
    }
    shape.left = nameOf(left);
    shape.right = nameOf(right);
    const auto edges = EdgeAlgebra::EdgeWalker(left).getEdges();
    for (const auto& entry : edges) {
        QuadEdge* c = entry.first;
        for (QuadEdge* e : {c, c->rot(), c->sym(), c->invRot()}) {
            shape.links.emplace_back(nameOf(e), nameOf(e->onext()));
        }
    }
    std::sort(shape.links.begin(), shape.links.end());
    for (const auto& entry : edges) {
        delete entry.first;
    }
    return shape;
}

} // namespace

ComparisonResult compareConstructions(std::vector<Site*>& sorted) {
    ComparisonResult result;
    const std::size_t liveBefore = QuadEdge::liveCount();
    QuadEdge* left = nullptr;
    QuadEdge* right = nullptr;
    result.kept = EdgeAlgebra::CompactToQuadEdges::triangulateWithStrips(sorted, &left, &right);
    if (!result.kept) {
        if (QuadEdge::liveCount() != liveBefore || left != nullptr || right != nullptr) {
            result.fault = "the fast construction declined but left quads or hull edges";
        }
        return result;
    }
    const Shape fast = takeApart(left, right);
    left = right = nullptr;
    std::vector<Site*> finite;
    std::copy_if(sorted.begin(), sorted.end(), std::back_inserter(finite),
                 [](const Site* s) { return s->isFinite(); });
    EdgeAlgebra::VerticalCuts::triangulate(finite, &left, &right);
    const Shape reference = takeApart(left, right);
    if (!(fast == reference)) {
        result.fault = "the fast construction differs from vertical cuts";
    } else if (QuadEdge::liveCount() != liveBefore) {
        result.fault = "quad-edges left alive after comparing the constructions";
    }
    return result;
}

} // namespace TessaroFuzz
