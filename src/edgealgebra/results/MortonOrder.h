#pragma once

#include "memory/HugePageAllocator.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace EdgeAlgebra {

// The positions of `count` points (x0, y0, x1, y1, ... at `xy`) in Morton
// (Z) order over their bounding box, on a 2048 x 2048 grid: points near each
// other along the curve are mostly near each other in the plane, so walks
// from one answer to the next stay short, and the memory they read stays
// close. The keys are a few bit operations per point (no branch to
// mispredict, as a Hilbert curve's turns would be) and are sorted by a
// two-pass radix sort, in arrays of huge pages (a fresh small page costs a
// fault each, and on a virtual machine these dominate). Points with a NaN or infinite coordinate
// take the curve's last cell. Ties keep the input order. Internal to the core.
ScratchVector<std::uint32_t> mortonOrder(const double* xy, std::size_t count);

} // namespace EdgeAlgebra
