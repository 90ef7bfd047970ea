#include "construction/SegmentConstraints.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>
#include <string>
#include <utility>

namespace EdgeAlgebra {

namespace {

std::string segmentName(std::size_t index) {
    return "triangulate: segment " + std::to_string(index);
}

} // namespace

template <typename Coordinate>
std::vector<SiteSegment> checkedSegments(const Coordinate* coords, std::size_t count,
                                         const std::vector<std::uint32_t>& segments) {
    if (segments.size() % 2 != 0) {
        throw std::invalid_argument(
            "triangulate: segments holds pairs of site indices, but its length (" +
            std::to_string(segments.size()) + ") is odd");
    }
    const std::size_t sites = count / 2;
    const auto x = [coords](std::uint32_t i) { return coords[2 * std::size_t{i}]; };
    const auto y = [coords](std::uint32_t i) { return coords[2 * std::size_t{i} + 1]; };
    std::vector<SiteSegment> checked;
    for (std::size_t k = 0; k < segments.size() / 2; ++k) {
        const std::uint32_t from = segments[2 * k], to = segments[2 * k + 1];
        for (const std::uint32_t end : {from, to}) {
            if (end >= sites) {
                throw std::invalid_argument(segmentName(k) + " names site " + std::to_string(end) +
                                            ", but there are only " + std::to_string(sites) +
                                            " sites");
            }
            if (!std::isfinite(x(end)) || !std::isfinite(y(end))) {
                throw std::invalid_argument(segmentName(k) + " ends at site " +
                                            std::to_string(end) +
                                            ", which has a coordinate that is not finite");
            }
        }
        if (x(from) == x(to) && y(from) == y(to)) {
            throw std::invalid_argument(segmentName(k) +
                                        " has both ends at the same point (sites " +
                                        std::to_string(from) + " and " + std::to_string(to) + ")");
        }
        checked.push_back({from, to, static_cast<std::uint32_t>(k)});
    }
    return checked;
}

template <typename Coordinate>
std::vector<VertexSegment> vertexSegments(const std::vector<SiteSegment>& segments,
                                          const CompactTriangulation<Coordinate>& built,
                                          const std::vector<Duplicate>& duplicates,
                                          std::size_t sites) {
    std::vector<std::uint32_t> vertexOf(sites, kNoSegment);
    for (std::uint32_t v = 0; v < built.vertices.size(); ++v) {
        vertexOf[built.vertices[v].site] = v;
    }
    for (const Duplicate& d : duplicates) {
        vertexOf[d.site] = vertexOf[d.kept];
    }
    std::vector<VertexSegment> result;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> given;
    for (const SiteSegment& s : segments) {
        const std::uint32_t from = vertexOf[s.from], to = vertexOf[s.to];
        given.emplace_back(std::min(from, to), std::max(from, to));
        result.push_back({from, to, s.index});
    }
    // A segment given twice, either way round, counts once: the first time.
    std::vector<std::size_t> byEnds(result.size());
    std::iota(byEnds.begin(), byEnds.end(), std::size_t{0});
    std::stable_sort(byEnds.begin(), byEnds.end(),
                     [&given](std::size_t a, std::size_t b) { return given[a] < given[b]; });
    std::vector<bool> repeated(result.size(), false);
    for (std::size_t k = 1; k < byEnds.size(); ++k) {
        repeated[byEnds[k]] = given[byEnds[k]] == given[byEnds[k - 1]];
    }
    std::vector<VertexSegment> once;
    for (std::size_t k = 0; k < result.size(); ++k) {
        if (!repeated[k]) {
            once.push_back(result[k]);
        }
    }
    return once;
}

template std::vector<SiteSegment> checkedSegments(const float*, std::size_t,
                                                  const std::vector<std::uint32_t>&);
template std::vector<SiteSegment> checkedSegments(const double*, std::size_t,
                                                  const std::vector<std::uint32_t>&);
template std::vector<VertexSegment> vertexSegments(const std::vector<SiteSegment>&,
                                                   const CompactTriangulation<float>&,
                                                   const std::vector<Duplicate>&, std::size_t);
template std::vector<VertexSegment> vertexSegments(const std::vector<SiteSegment>&,
                                                   const CompactTriangulation<double>&,
                                                   const std::vector<Duplicate>&, std::size_t);

} // namespace EdgeAlgebra
