#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace TessaroTools {

// Runs tessaro-triangulate with the arguments after the program name: reads
// the sites (from the named file, or from `standardInput`), triangulates
// them, and writes the chosen format to the -o file or to `standardOutput`.
// Messages go to `standardError`. Returns the exit status: 0 on success, 1
// for unusable input or a failed read or write, 2 for a wrong command line.
int runTriangulateCommand(const std::vector<std::string>& arguments, std::istream& standardInput,
                          std::ostream& standardOutput, std::ostream& standardError);

} // namespace TessaroTools
