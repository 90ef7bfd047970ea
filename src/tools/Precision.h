#pragma once

namespace TessaroTools {

// The arithmetic the command reads, triangulates and writes in. Double keeps
// the user's numbers as written; Float rounds each site to the nearest float
// first, as the program's sites are, and computes the program's circles.
enum class Precision { Double, Float };

} // namespace TessaroTools
