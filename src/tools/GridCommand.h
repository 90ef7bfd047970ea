#pragma once

#include "CommandLine.h"

#include <istream>
#include <ostream>
#include <string>

namespace TessaroTools {

// tessaro-triangulate --grid: reads scattered values from `in` (x y value
// lines, or a .poly file whose vertices' first attribute is the value),
// interpolates them onto the grid the command line asks for and writes it
// to `out` as an ESRI ASCII grid. Throws InputError for unusable input,
// naming `sourceName`.
void writeInterpolatedGrid(const CommandLine& command, std::istream& in,
                           const std::string& sourceName, std::ostream& out);

} // namespace TessaroTools
