#pragma once

#include "edgealgebra/Triangulate.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace EdgeAlgebra {

class Interpolator;

// Answers, exactly, which triangle of a triangulation holds a point and which
// of its sites lies nearest. The object keeps its own copy of the
// triangulation and the coordinates (in double precision), laid out for the
// queries.
//
//     const Locator locator(triangulate(coords), coords);
//     const std::uint32_t t = locator.find(x, y);      // kNone outside
//     const std::uint32_t s = locator.nearest(x, y);
//
// - find: the triangle whose closed area holds the point, kNone outside the
//   triangulation (inside a hole carved by keepEnclosed too). A point on an
//   edge or a corner, where several triangles meet, gets the lowest-numbered
//   of them.
// - nearest: the nearest site that is a corner of some triangle (or, when the
//   sites lie on one line, one of the line's sites), ties to the lowest
//   index. Sites left out of the triangulation (coincident, not finite,
//   carved away) are never answered; with none left the answer is kNone.
// Queries with a NaN or infinite coordinate are answered kNone.
//
// The batches take x0, y0, x1, y1, ... and answer in that order, on up to
// `threads` threads (0: all the hardware's); internally the queries go in the
// order of a Morton (Z) curve, so that each walk starts near the previous
// answer. The answers are the same for every number of threads.
class Locator {
public:
    // `triangulation` must be triangulate(coords), with or without segments,
    // possibly carved by keepEnclosed. Throws std::invalid_argument for an
    // odd number of coordinates, or for arrays that name sites or half-edges
    // beyond them.
    Locator(const Triangulation& triangulation, const std::vector<float>& coords,
            unsigned threads = 0);
    Locator(const Triangulation& triangulation, const std::vector<double>& coords,
            unsigned threads = 0);
    ~Locator();
    Locator(Locator&&) noexcept;
    Locator& operator=(Locator&&) noexcept;

    std::uint32_t find(double x, double y) const;
    std::uint32_t nearest(double x, double y) const;

    // Throw std::invalid_argument for an odd number of values.
    std::vector<std::uint32_t> find(const std::vector<double>& xy, unsigned threads = 0) const;
    std::vector<std::uint32_t> nearest(const std::vector<double>& xy, unsigned threads = 0) const;

    // The same on `count` points (2 * count values) at `xy`, answers written
    // to `out` (count of them).
    void find(const double* xy, std::size_t count, std::uint32_t* out, unsigned threads = 0) const;
    void nearest(const double* xy, std::size_t count, std::uint32_t* out,
                 unsigned threads = 0) const;

    // The internals, defined and used inside the core only.
    struct State;

private:
    friend class Interpolator;
    std::unique_ptr<State> m_state;
};

} // namespace EdgeAlgebra
