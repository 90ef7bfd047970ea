#include "results/NearestSite.h"

#include "predicates/DistanceOrder.h"

#include <algorithm>

namespace EdgeAlgebra {

namespace {

// Sign of |q - a|^2 - |q - b|^2.
int compare(const FlatMesh& mesh, double x, double y, std::uint32_t a, std::uint32_t b) {
    return DistanceOrder::compare(x, y, mesh.x(a), mesh.y(a), mesh.x(b), mesh.y(b));
}

// Calls visit(w) for each neighbour w of site v (some more than once).
template <typename Visit>
void forEachNeighbour(const FlatMesh& mesh, const std::vector<std::uint32_t>& outgoing,
                      std::uint32_t v, Visit&& visit) {
    mesh.aroundOrigin(outgoing[v], [&](std::uint32_t e) {
        visit(mesh.destination(e));
        visit(mesh.origin(prevHalfedge(e)));
    });
}

} // namespace

std::uint32_t nearestByDescent(const FlatMesh& mesh, const std::vector<std::uint32_t>& outgoing,
                               const std::vector<std::uint32_t>& numbers, std::uint32_t start,
                               double x, double y) {
    std::uint32_t v = start;
    bool tie = false; // some neighbour as near as v
    for (bool moved = true; moved;) {
        std::uint32_t best = v;
        tie = false;
        forEachNeighbour(mesh, outgoing, v, [&](std::uint32_t w) {
            if (w == best) {
                return;
            }
            const int order = compare(mesh, x, y, w, best);
            tie = order == 0 ? true : (order < 0 ? false : tie);
            best = order < 0 ? w : best;
        });
        moved = best != v;
        v = best;
    }
    if (!tie) {
        return v;
    }
    // The tied sites: a small set, searched from v across tied neighbours.
    std::vector<std::uint32_t> tied{v};
    std::uint32_t lowest = v;
    for (std::size_t k = 0; k < tied.size(); ++k) {
        forEachNeighbour(mesh, outgoing, tied[k], [&](std::uint32_t w) {
            if (std::find(tied.begin(), tied.end(), w) == tied.end() &&
                compare(mesh, x, y, w, v) == 0) {
                tied.push_back(w);
                lowest = numbers[w] < numbers[lowest] ? w : lowest;
            }
        });
    }
    return lowest;
}

std::uint32_t nearestOnLine(const FlatMesh& mesh, const std::vector<std::uint32_t>& line,
                            const std::vector<std::uint32_t>& numbers, double x, double y) {
    if (line.empty()) {
        return kNone;
    }
    // A start near the point's projection, by the coordinate that varies
    // along the line (x, unless the line is vertical), then descent.
    const bool byX = mesh.x(line.front()) != mesh.x(line.back());
    const auto position = [&](std::uint32_t site) { return byX ? mesh.x(site) : mesh.y(site); };
    const bool rising = position(line.front()) <= position(line.back());
    const double target = byX ? x : y;
    std::size_t k = static_cast<std::size_t>(
        std::partition_point(
            line.begin(), line.end(),
            [&](std::uint32_t s) { return rising ? position(s) < target : position(s) > target; }) -
        line.begin());
    k = std::min(k, line.size() - 1);
    while (k > 0 && compare(mesh, x, y, line[k - 1], line[k]) < 0) {
        --k;
    }
    while (k + 1 < line.size() && compare(mesh, x, y, line[k + 1], line[k]) < 0) {
        ++k;
    }
    // A circle meets the line twice at most: a tie is a neighbour along it.
    std::uint32_t lowest = line[k];
    for (const std::size_t j : {k - 1, k + 1}) {
        if (j < line.size() && compare(mesh, x, y, line[j], line[k]) == 0) {
            lowest = numbers[line[j]] < numbers[lowest] ? line[j] : lowest;
        }
    }
    return lowest;
}

} // namespace EdgeAlgebra
