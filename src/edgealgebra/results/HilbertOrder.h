#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace EdgeAlgebra {

// The positions of `count` points (x0, y0, x1, y1, ... at `xy`) in the order
// of a Hilbert curve over their bounding box, on a 2048 x 2048 grid: points
// near each other along the curve are near each other in the plane, so walks
// from one answer to the next stay short. Points with a NaN or infinite
// coordinate take the curve's last cell. Ties keep the input order. Internal to the core.
std::vector<std::uint32_t> hilbertOrder(const double* xy, std::size_t count);

} // namespace EdgeAlgebra
