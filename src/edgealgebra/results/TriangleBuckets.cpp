#include "results/TriangleBuckets.h"

#include <algorithm>
#include <limits>

namespace EdgeAlgebra {

namespace {

struct Bounds {
    double xmin, ymin, xmax, ymax;
};

Bounds triangleBounds(const FlatMesh& mesh, std::uint32_t triangle) {
    Bounds b{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
             -std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    for (std::uint32_t e = 3 * triangle; e < 3 * triangle + 3; ++e) {
        const double x = mesh.x(mesh.origin(e)), y = mesh.y(mesh.origin(e));
        b = {std::min(b.xmin, x), std::min(b.ymin, y), std::max(b.xmax, x), std::max(b.ymax, y)};
    }
    return b;
}

// Calls visit(cell) for each cell the triangle's bounding box covers.
template <typename Visit>
void forEachCoveredCell(const CellGrid& grid, const Bounds& b, Visit&& visit) {
    for (std::uint32_t row = grid.cellY(b.ymin); row <= grid.cellY(b.ymax); ++row) {
        for (std::uint32_t column = grid.cellX(b.xmin); column <= grid.cellX(b.xmax); ++column) {
            visit(std::size_t{row} * grid.columns + column);
        }
    }
}

} // namespace

TriangleBuckets::TriangleBuckets(const FlatMesh& mesh) {
    const std::uint32_t triangles = mesh.triangleCount();
    Bounds all{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
               -std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    for (std::uint32_t t = 0; t < triangles; ++t) {
        const Bounds b = triangleBounds(mesh, t);
        all = {std::min(all.xmin, b.xmin), std::min(all.ymin, b.ymin), std::max(all.xmax, b.xmax),
               std::max(all.ymax, b.ymax)};
    }
    // About two triangles per cell; coarser where long thin triangles would
    // cover too many cells.
    for (double cells = 0.5 * triangles + 1;; cells *= 0.25) {
        m_grid = CellGrid(all.xmin, all.ymin, all.xmax, all.ymax, cells);
        m_first.assign(m_grid.size() + 1, 0);
        std::size_t covered = 0;
        for (std::uint32_t t = 0; t < triangles; ++t) {
            forEachCoveredCell(m_grid, triangleBounds(mesh, t), [&](std::size_t cell) {
                ++m_first[cell + 1];
                ++covered;
            });
        }
        if (covered <= 16 * std::size_t{triangles} + (1u << 20) || cells < 2) {
            break;
        }
    }
    for (std::size_t cell = 0; cell < m_grid.size(); ++cell) {
        m_first[cell + 1] += m_first[cell];
    }
    m_triangles.resize(m_first.back());
    std::vector<std::uint32_t> fill(m_first.begin(), m_first.end() - 1);
    for (std::uint32_t t = 0; t < triangles; ++t) {
        forEachCoveredCell(m_grid, triangleBounds(mesh, t),
                           [&](std::size_t cell) { m_triangles[fill[cell]++] = t; });
    }
}

std::uint32_t TriangleBuckets::find(const FlatMesh& mesh, const std::vector<std::uint32_t>& numbers,
                                    double x, double y) const {
    if (m_triangles.empty()) {
        return kNone;
    }
    const std::size_t cell = m_grid.cell(x, y);
    std::uint32_t lowest = kNone;
    for (std::uint32_t k = m_first[cell]; k < m_first[cell + 1]; ++k) {
        const std::uint32_t t = m_triangles[k];
        if ((lowest == kNone || numbers[t] < numbers[lowest]) && mesh.holds(t, x, y)) {
            lowest = t;
        }
    }
    return lowest;
}

} // namespace EdgeAlgebra
