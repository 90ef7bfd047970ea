#include "results/TriangleWalk.h"

#include <algorithm>
#include <limits>

namespace EdgeAlgebra {

WalkEnd walkToward(const FlatMesh& mesh, std::uint32_t start, double x, double y,
                   std::uint32_t maxSteps) {
    std::uint32_t triangle = start;
    std::uint32_t entry = kNone;
    std::uint32_t random = 0x9e3779b9u;
    for (std::uint32_t step = 0; step < maxSteps; ++step) {
        random ^= random << 13;
        random ^= random >> 17;
        random ^= random << 5;
        const std::uint32_t first = random % 3;
        std::uint32_t exit = kNone;
        unsigned onLine = 0;
        for (std::uint32_t k = 0; k < 3 && exit == kNone; ++k) {
            const std::uint32_t e = 3 * triangle + (first + k) % 3;
            // The entry edge has the point strictly on this side: no test.
            const int side = e == entry ? 1 : mesh.side(e, x, y);
            exit = side < 0 ? e : kNone;
            onLine |= side == 0 ? 1u << (e % 3) : 0u;
        }
        if (exit == kNone) {
            return {WalkEnd::kInside, triangle, onLine};
        }
        const std::uint32_t opposite = mesh.t.halfedges[exit];
        if (opposite == kNone) {
            return {WalkEnd::kBeyondBoundary, triangle, 0};
        }
        entry = opposite;
        triangle = opposite / 3;
    }
    return {WalkEnd::kStuck, triangle, 0};
}

unsigned linesThrough(const FlatMesh& mesh, std::uint32_t triangle, double x, double y) {
    unsigned onLine = 0;
    for (std::uint32_t k = 0; k < 3; ++k) {
        onLine |= mesh.side(3 * triangle + k, x, y) == 0 ? 1u << k : 0u;
    }
    return onLine;
}

std::uint32_t lowestHolding(const FlatMesh& mesh, const std::vector<std::uint32_t>& outgoing,
                            const std::vector<std::uint32_t>& numbers, std::uint32_t triangle,
                            unsigned onLine) {
    const auto lower = [&numbers](std::uint32_t a, std::uint32_t b) {
        return numbers[b] < numbers[a] ? b : a;
    };
    const std::uint32_t base = 3 * triangle;
    switch (onLine) {
    case 0:
        return triangle;
    case 1:
    case 2:
    case 4: {
        const std::uint32_t edge = base + (onLine == 1 ? 0 : (onLine == 2 ? 1 : 2));
        const std::uint32_t opposite = mesh.t.halfedges[edge];
        return opposite == kNone ? triangle : lower(triangle, opposite / 3);
    }
    default: {
        // On two edges' lines: at the corner they share (the triangle is
        // not flat, so the point is no other). Edges k and k + 1 share the
        // corner where edge k + 1 starts.
        const std::uint32_t corner = mesh.origin(base + (onLine == 3 ? 1 : (onLine == 6 ? 2 : 0)));
        std::uint32_t lowest = triangle;
        mesh.aroundOrigin(outgoing[corner],
                          [&](std::uint32_t e) { lowest = lower(lowest, e / 3); });
        return lowest;
    }
    }
}

StartGrid::StartGrid(const FlatMesh& mesh) {
    const std::uint32_t triangles = mesh.triangleCount();
    if (triangles == 0) {
        return;
    }
    double xmin = std::numeric_limits<double>::infinity(), ymin = xmin, xmax = -xmin, ymax = -xmin;
    for (const std::uint32_t site : mesh.t.triangles) {
        xmin = std::min(xmin, mesh.x(site));
        xmax = std::max(xmax, mesh.x(site));
        ymin = std::min(ymin, mesh.y(site));
        ymax = std::max(ymax, mesh.y(site));
    }
    // A cell per eight triangles or so: a few steps from a cell's triangle to
    // any point in it.
    m_grid = CellGrid(xmin, ymin, xmax, ymax, triangles / 8.0 + 1);
    m_start.assign(m_grid.size(), kNone);
    for (std::uint32_t t = 0; t < triangles; ++t) {
        const std::uint32_t e = 3 * t;
        const double cx =
            (mesh.x(mesh.origin(e)) + mesh.x(mesh.origin(e + 1)) + mesh.x(mesh.origin(e + 2))) / 3;
        const double cy =
            (mesh.y(mesh.origin(e)) + mesh.y(mesh.origin(e + 1)) + mesh.y(mesh.origin(e + 2))) / 3;
        std::uint32_t& start = m_start[m_grid.cell(cx, cy)];
        if (start == kNone) {
            start = t;
        }
    }
    // Cells without a centroid take the nearest filled cell before them in
    // row order (after them for the leading ones).
    std::uint32_t last = kNone;
    for (std::uint32_t& start : m_start) {
        start = start == kNone ? last : start;
        last = start;
    }
    const std::uint32_t first =
        *std::find_if(m_start.begin(), m_start.end(), [](std::uint32_t t) { return t != kNone; });
    std::replace(m_start.begin(), m_start.end(), kNone, first);
}

} // namespace EdgeAlgebra
