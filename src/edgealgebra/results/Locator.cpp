#include "edgealgebra/Locate.h"

#include "parallel/ForkJoin.h"
#include "results/LocatorState.h"
#include "results/MortonOrder.h"
#include "results/NearestSite.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace EdgeAlgebra {

namespace {

void checkArrays(const Triangulation& t, std::size_t coordCount) {
    if (coordCount % 2 != 0) {
        throw std::invalid_argument("Locator: coords holds x, y pairs, but its length (" +
                                    std::to_string(coordCount) + ") is odd");
    }
    const std::size_t sites = coordCount / 2;
    const auto beyond = [sites](std::uint32_t s) { return s >= sites; };
    if (std::any_of(t.triangles.begin(), t.triangles.end(), beyond) ||
        std::any_of(t.hull.begin(), t.hull.end(), beyond)) {
        throw std::invalid_argument(
            "Locator: the triangulation names sites beyond the coordinates");
    }
    if (t.triangles.size() % 3 != 0 || t.halfedges.size() != t.triangles.size() ||
        std::any_of(t.halfedges.begin(), t.halfedges.end(),
                    [&t](std::uint32_t e) { return e != kNone && e >= t.halfedges.size(); })) {
        throw std::invalid_argument("Locator: the half-edges do not match the triangles");
    }
}

// Whether the triangles cover exactly the convex polygon of the hull: one
// boundary half-edge per hull site, and the hull turns left or runs straight
// at every site.
bool coversHull(const FlatMesh& mesh) {
    const std::vector<std::uint32_t>& hull = mesh.t.hull;
    const auto boundary = std::count(mesh.t.halfedges.begin(), mesh.t.halfedges.end(), kNone);
    if (hull.size() < 3 || static_cast<std::size_t>(boundary) != hull.size()) {
        return false;
    }
    for (std::size_t k = 0; k < hull.size(); ++k) {
        const std::uint32_t a = hull[k], b = hull[(k + 1) % hull.size()],
                            c = hull[(k + 2) % hull.size()];
        if (DoublePredicates::orientation(mesh.x(a), mesh.y(a), mesh.x(b), mesh.y(b), mesh.x(c),
                                          mesh.y(c)) < 0) {
            return false;
        }
    }
    return true;
}

// How many queries ahead a batch fetches the next ones' memory.
constexpr std::size_t kAhead = 16;

std::uint32_t original(const std::vector<std::uint32_t>& numbers, std::uint32_t k) {
    return k == kNone ? kNone : numbers[k];
}

bool finite(double x, double y) {
    return std::isfinite(x) && std::isfinite(y);
}

// Answers `count` queries at `xy` into `out` on up to `threads` threads, in
// Morton order; answer(x, y, hint) is given the previous answer of its run,
// and `numbers` turns the answers into the given triangulation's numbers.
template <typename Answer>
void answerBatch(const double* xy, std::size_t count, std::uint32_t* out, unsigned threads,
                 const std::vector<std::uint32_t>& numbers, Answer&& answer) {
    const ScratchVector<std::uint32_t> order = mortonOrder(xy, count);
    const unsigned threadCount = ForkJoin::threadCount(threads);
    const std::size_t size = std::max<std::size_t>(4096, count / (8 * threadCount) + 1);
    ForkJoin::forEachRange(threadCount, count, size, [&](std::size_t begin, std::size_t end) {
        std::uint32_t hint = kNone;
        for (std::size_t k = begin; k < end; ++k) {
            // The queries come in an order of their own: fetch ahead.
            if (k + kAhead < end) {
                __builtin_prefetch(xy + 2 * std::size_t{order[k + kAhead]});
                __builtin_prefetch(out + order[k + kAhead], 1);
            }
            const std::size_t i = order[k];
            const std::uint32_t found = answer(xy[2 * i], xy[2 * i + 1], hint);
            out[i] = original(numbers, found);
            hint = found != kNone ? found : hint;
        }
    });
}

std::vector<double> widened(const std::vector<float>& coords) {
    return std::vector<double>(coords.begin(), coords.end());
}

} // namespace

Locator::State::State(const Triangulation& triangulation, const std::vector<double>& coords,
                      unsigned threads)
    : domain(triangulation, coords, ForkJoin::threadCount(threads)) {
    const FlatMesh mesh = domain.mesh();
    convex = coversHull(mesh);
    if (!convex) {
        buckets = TriangleBuckets(mesh);
    }
    if (triangulation.constrained.empty() && domain.t.hull.size() >= 2 &&
        (convex || domain.t.triangles.empty())) {
        return; // Delaunay already, or its sites on one line
    }
    // The sites of the domain's triangles.
    std::vector<std::uint32_t> used;
    std::vector<double> sites;
    for (std::uint32_t site = 0; site < domain.outgoing.size(); ++site) {
        if (domain.outgoing[site] != kNone) {
            used.push_back(site);
            sites.insert(sites.end(), {mesh.x(site), mesh.y(site)});
        }
    }
    delaunay = std::make_unique<IndexedMesh>(triangulate(sites, threads), sites,
                                             ForkJoin::threadCount(threads));
    for (std::uint32_t& site : delaunay->originalSite) {
        site = domain.originalSite[used[site]];
    }
}

Holding findInConvex(const IndexedMesh& indexed, double x, double y, std::uint32_t hint) {
    const FlatMesh mesh = indexed.mesh();
    if (!finite(x, y) || mesh.triangleCount() == 0) {
        return {kNone, 0};
    }
    const std::uint32_t start = hint != kNone ? hint : indexed.start.triangleNear(x, y);
    const WalkEnd end = walkToward(mesh, start, x, y, mesh.triangleCount() + 64);
    switch (end.kind) {
    case WalkEnd::kInside:
        return {end.triangle, end.onLine};
    case WalkEnd::kBeyondBoundary:
        return {kNone, 0}; // beyond a hull edge: outside the convex domain
    case WalkEnd::kStuck:
        break;
    }
    for (std::uint32_t t = 0; t < mesh.triangleCount(); ++t) {
        if (mesh.holds(t, x, y)) {
            return {t, linesThrough(mesh, t, x, y)};
        }
    }
    return {kNone, 0};
}

std::uint32_t Locator::State::find(double x, double y, std::uint32_t hint) const {
    if (!convex) {
        return finite(x, y) ? buckets.find(domain.mesh(), domain.originalTriangle, x, y) : kNone;
    }
    const Holding holding = findInConvex(domain, x, y, hint);
    return holding.triangle == kNone
               ? kNone
               : lowestHolding(domain.mesh(), domain.outgoing, domain.originalTriangle,
                               holding.triangle, holding.onLine);
}

std::uint32_t Locator::State::nearest(double x, double y, std::uint32_t hint) const {
    const IndexedMesh& indexed = delaunayMesh();
    const FlatMesh mesh = indexed.mesh();
    if (!finite(x, y)) {
        return kNone;
    }
    if (mesh.triangleCount() == 0) {
        return nearestOnLine(mesh, indexed.t.hull, indexed.originalSite, x, y);
    }
    const std::uint32_t start =
        hint != kNone ? hint : mesh.origin(3 * indexed.start.triangleNear(x, y));
    return nearestByDescent(mesh, indexed.outgoing, indexed.originalSite, start, x, y);
}

Locator::Locator(const Triangulation& triangulation, const std::vector<float>& coords,
                 unsigned threads)
    : m_state((checkArrays(triangulation, coords.size()),
               std::make_unique<State>(triangulation, widened(coords), threads))) {}

Locator::Locator(const Triangulation& triangulation, const std::vector<double>& coords,
                 unsigned threads)
    : m_state((checkArrays(triangulation, coords.size()),
               std::make_unique<State>(triangulation, coords, threads))) {}

Locator::~Locator() = default;
Locator::Locator(Locator&&) noexcept = default;
Locator& Locator::operator=(Locator&&) noexcept = default;

std::uint32_t Locator::find(double x, double y) const {
    return original(m_state->domain.originalTriangle, m_state->find(x, y, kNone));
}

std::uint32_t Locator::nearest(double x, double y) const {
    return original(m_state->delaunayMesh().originalSite, m_state->nearest(x, y, kNone));
}

void Locator::find(const double* xy, std::size_t count, std::uint32_t* out,
                   unsigned threads) const {
    answerBatch(
        xy, count, out, threads, m_state->domain.originalTriangle,
        [this](double x, double y, std::uint32_t hint) { return m_state->find(x, y, hint); });
}

void Locator::nearest(const double* xy, std::size_t count, std::uint32_t* out,
                      unsigned threads) const {
    answerBatch(
        xy, count, out, threads, m_state->delaunayMesh().originalSite,
        [this](double x, double y, std::uint32_t hint) { return m_state->nearest(x, y, hint); });
}

namespace {
std::size_t pointCount(const std::vector<double>& xy) {
    if (xy.size() % 2 != 0) {
        throw std::invalid_argument("Locator: the queries are x, y pairs, but their length (" +
                                    std::to_string(xy.size()) + ") is odd");
    }
    return xy.size() / 2;
}
} // namespace

std::vector<std::uint32_t> Locator::find(const std::vector<double>& xy, unsigned threads) const {
    std::vector<std::uint32_t> out(pointCount(xy));
    find(xy.data(), out.size(), out.data(), threads);
    return out;
}

std::vector<std::uint32_t> Locator::nearest(const std::vector<double>& xy, unsigned threads) const {
    std::vector<std::uint32_t> out(pointCount(xy));
    nearest(xy.data(), out.size(), out.data(), threads);
    return out;
}

} // namespace EdgeAlgebra
