#include "edgealgebra/Interpolate.h"

#include "parallel/ForkJoin.h"
#include "results/LocatorState.h"
#include "results/MortonOrder.h"
#include "results/NaturalNeighbours.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace EdgeAlgebra {

namespace {

// Where the previous point's searches ended, for the next point's to start.
struct Hints {
    std::uint32_t domainTriangle = kNone;
    std::uint32_t delaunayTriangle = kNone;
    std::uint32_t site = kNone;
};

// One point's values: `channels` numbers written to `out`.
class PointInterpolation {
public:
    PointInterpolation(const Locator::State& state, const std::vector<double>& values,
                       std::size_t channels, Interpolation method, double fill)
        : m_state(state), m_values(values), m_channels(channels), m_method(method), m_fill(fill) {}

    void operator()(double x, double y, double* out) {
        const std::uint32_t triangle = m_state.find(x, y, m_hints.domainTriangle);
        if (triangle == kNone) {
            std::fill(out, out + m_channels, m_fill);
            return;
        }
        m_hints.domainTriangle = triangle;
        switch (m_method) {
        case Interpolation::Linear:
            barycentricWeights(m_state.domain.mesh(), triangle, x, y, m_weights);
            toGivenSites(m_state.domain);
            break;
        case Interpolation::NaturalNeighbour:
            naturalWeights(triangle, x, y);
            break;
        case Interpolation::Nearest:
            m_hints.site = m_state.nearest(x, y, m_hints.site);
            m_weights.set({m_hints.site}, {1.0});
            toGivenSites(m_state.delaunayMesh());
            break;
        }
        std::fill(out, out + m_channels, 0.0);
        for (std::size_t k = 0; k < m_weights.sites.size(); ++k) {
            // A zero weight lends nothing, not even a NaN or an infinity.
            const double weight = m_weights.weights[k];
            const double* value = &m_values[m_weights.sites[k] * m_channels];
            for (std::size_t c = 0; c < m_channels && weight != 0; ++c) {
                out[c] += weight * value[c];
            }
        }
    }

private:
    // The domain's triangle is one of the Delaunay triangulation's, unless
    // the domain has segments or was carved: then the point is found again
    // there, and the weights' sites renumbered back.
    // The weights' sites by their numbers in the given triangulation, where
    // the values are.
    void toGivenSites(const IndexedMesh& indexed) {
        for (std::uint32_t& site : m_weights.sites) {
            site = indexed.originalSite[site];
        }
    }

    void naturalWeights(std::uint32_t triangle, double x, double y) {
        if (!m_state.delaunay) {
            sibsonWeights(m_state.domain.mesh(), triangle, x, y, m_weights);
            toGivenSites(m_state.domain);
            return;
        }
        const std::uint32_t found =
            findInConvex(*m_state.delaunay, x, y, m_hints.delaunayTriangle).triangle;
        if (found == kNone) { // cannot be: the domain lies inside the hull
            m_weights.set({}, {});
            return;
        }
        m_hints.delaunayTriangle = found;
        sibsonWeights(m_state.delaunay->mesh(), found, x, y, m_weights);
        toGivenSites(*m_state.delaunay);
    }

    const Locator::State& m_state;
    const std::vector<double>& m_values;
    std::size_t m_channels;
    Interpolation m_method;
    double m_fill;
    Hints m_hints;
    SiteWeights m_weights;
};

std::vector<double> checkedValues(std::vector<double> values, std::size_t channels,
                                  std::size_t coordCount) {
    if (channels == 0 || values.size() != coordCount / 2 * channels) {
        throw std::invalid_argument("Interpolator: " + std::to_string(values.size()) +
                                    " values for " + std::to_string(coordCount / 2) +
                                    " sites with " + std::to_string(channels) +
                                    " channels; channels values per site are needed");
    }
    return values;
}

constexpr std::size_t kPointsPerChunk = 4096;

} // namespace

Interpolator::Interpolator(const Triangulation& triangulation, const std::vector<float>& coords,
                           std::vector<double> values, std::size_t channels, unsigned threads)
    : m_locator(triangulation, coords, threads),
      m_values(checkedValues(std::move(values), channels, coords.size())), m_channels(channels) {}

Interpolator::Interpolator(const Triangulation& triangulation, const std::vector<double>& coords,
                           std::vector<double> values, std::size_t channels, unsigned threads)
    : m_locator(triangulation, coords, threads),
      m_values(checkedValues(std::move(values), channels, coords.size())), m_channels(channels) {}

void Interpolator::at(const double* xy, std::size_t count, Interpolation method, double* out,
                      double fill, unsigned threads) const {
    // In Morton order, so that each search starts near the last one's end.
    const ScratchVector<std::uint32_t> order = mortonOrder(xy, count);
    ForkJoin::forEachRange(ForkJoin::threadCount(threads), count, kPointsPerChunk,
                           [&](std::size_t begin, std::size_t end) {
                               PointInterpolation point(*m_locator.m_state, m_values, m_channels,
                                                        method, fill);
                               for (std::size_t k = begin; k < end; ++k) {
                                   const std::size_t i = order[k];
                                   point(xy[2 * i], xy[2 * i + 1], out + i * m_channels);
                               }
                           });
}

void Interpolator::grid(const Grid& g, Interpolation method, double* out, double fill,
                        unsigned threads) const {
    if (!std::isfinite(g.xmin) || !std::isfinite(g.ymin) || !std::isfinite(g.dx) ||
        !std::isfinite(g.dy)) {
        throw std::invalid_argument("Interpolator: the grid's corner and steps must be finite");
    }
    // Whole rows per chunk: along a row each search starts next to the last.
    const std::size_t rows =
        std::max<std::size_t>(1, kPointsPerChunk / std::max<std::size_t>(g.nx, 1));
    ForkJoin::forEachRange(
        ForkJoin::threadCount(threads), g.ny, rows, [&](std::size_t begin, std::size_t end) {
            PointInterpolation point(*m_locator.m_state, m_values, m_channels, method, fill);
            for (std::size_t j = begin; j < end; ++j) {
                const double y = g.ymin + static_cast<double>(j) * g.dy;
                for (std::size_t i = 0; i < g.nx; ++i) {
                    point(g.xmin + static_cast<double>(i) * g.dx, y,
                          out + (j * g.nx + i) * m_channels);
                }
            }
        });
}

std::vector<double> Interpolator::at(const std::vector<double>& xy, Interpolation method,
                                     double fill, unsigned threads) const {
    if (xy.size() % 2 != 0) {
        throw std::invalid_argument("Interpolator: the points are x, y pairs, but their length (" +
                                    std::to_string(xy.size()) + ") is odd");
    }
    std::vector<double> out(xy.size() / 2 * m_channels);
    at(xy.data(), xy.size() / 2, method, out.data(), fill, threads);
    return out;
}

std::vector<double> Interpolator::grid(const Grid& g, Interpolation method, double fill,
                                       unsigned threads) const {
    std::vector<double> out(g.nx * g.ny * m_channels);
    grid(g, method, out.data(), fill, threads);
    return out;
}

} // namespace EdgeAlgebra
