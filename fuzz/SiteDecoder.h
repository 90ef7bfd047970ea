#pragma once

#include "FuzzInput.h"

#include <cstddef>
#include <cstdint>

namespace TessaroFuzz {

// Upper bound on the sites of one input; keeps each round's quadratic checks
// cheap so the fuzzer spends its time on many inputs rather than big ones.
constexpr std::size_t kMaxSites = 96;

// Turns arbitrary bytes into finite sites. The first byte is a header (how
// many non-finite sites to mix in, optional snapping to a power-of-two grid,
// the scene seed); every following op byte appends sites of one kind: raw
// float bit patterns (non-finite ones clamped), points of the 1/4096 grid,
// duplicates, neighbours a few ulps away, collinear runs and small integer
// grids, exactly cocircular sets, float points near a circle, and copies
// scaled by powers of two up to the ends of the float range.
FuzzInput decodeFuzzInput(const std::uint8_t* data, std::size_t size);

} // namespace TessaroFuzz
