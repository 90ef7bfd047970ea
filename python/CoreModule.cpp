// The extension module tessaro._core, which the package tessaro re-exports:
// the core's front door on numpy arrays.
//
// Points are read in place when they are a C-contiguous float64 or float32
// array and converted to float64 otherwise. Results are numpy arrays that
// look at the std::vectors the core returned (read-only, kept alive by the
// object that owns them), so nothing is copied on the way out. The GIL is
// released while the core works. The core's std::invalid_argument and
// std::length_error reach Python as ValueError with their message.

#include "Bindings.h"

#include <edgealgebra/Triangulate.h>

namespace py = pybind11;

namespace {

// The package tessaro documents the whole API; this names the part that is
// compiled.
constexpr const char* kModuleDoc =
    "The compiled part of the package tessaro, which re-exports it: see help(tessaro).";

} // namespace

PYBIND11_MODULE(_core, m) {
    m.doc() = kModuleDoc;
    m.attr("__version__") = TESSARO_VERSION;
    m.attr("NONE") = py::int_(EdgeAlgebra::kNone);
    TessaroPython::bindTriangulate(m);
    TessaroPython::bindInterpolate(m);
    TessaroPython::bindRefine(m);
    TessaroPython::bindTile(m);
}
