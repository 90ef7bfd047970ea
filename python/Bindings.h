#pragma once

// Each capability of the module registers its functions and classes in one
// function of its own, called in turn by the module's entry point.

#include <pybind11/pybind11.h>

namespace TessaroPython {

// triangulate, keep_enclosed, Triangulation, Voronoi.
void bindTriangulate(pybind11::module_& m);

// Locator, Interpolator.
void bindInterpolate(pybind11::module_& m);

// refine, Mesh.
void bindRefine(pybind11::module_& m);

// _triangulate_tile, for tessaro.distributed.
void bindTile(pybind11::module_& m);

} // namespace TessaroPython
