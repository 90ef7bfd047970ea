#pragma once

#include "edgealgebra/Triangulate.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace EdgeAlgebra {

// The bounds a refined mesh meets.
struct Quality {
    double minAngle = 20.0;     // degrees, under 60; 0: no angle bound
    double maxArea = 0.0;       // 0: no area bound
    bool convexHull = false;    // mesh the whole convex hull, the segments inside it
    std::size_t maxSteiner = 0; // most new points; 0: a bound from the input's size
};

// A refined mesh.
// - `coords`: the input sites first, in order and unmoved, then the new
//   points (x0, y0, x1, y1, ...).
// - `triangulation`: the triangles over `coords`, in the conventions of
//   Triangulation; `halfedges` is kNone on the domain's boundary, `hull` is
//   empty, and `constrained` marks the half-edges on input segments.
// - `segments`: the pieces the input segments were split into, three values
//   each (from, to, input segment index), each piece running the way its
//   segment runs, in the order of the segments and along each.
// - `forcedSmallAngles`: the triangles left with an angle under the bound
//   because two segments (or hull sides) meet at under 60 degrees next to
//   them, where no new point can mend the angle.
struct Mesh {
    std::vector<double> coords;
    Triangulation triangulation;
    std::vector<std::uint32_t> segments;
    std::size_t forcedSmallAngles = 0;
};

// Delaunay refinement (Ruppert's algorithm with Shewchuk's and Üngör's
// improvements) of the domain the segments (pairs of site indices) enclose,
// less the holes (a point inside each, x0, y0, ...), as keepEnclosed keeps
// it; without segments, or with quality.convexHull, of the whole convex hull
// less the holes, the segments inside it. Afterwards every triangle's angles
// are at least quality.minAngle (except the forcedSmallAngles), no area exceeds
// quality.maxArea, every input segment inside the domain is a chain of
// constrained edges, and the mesh is constrained Delaunay, decided exactly.
//
// Throws std::invalid_argument for a negative or NaN bound, a minAngle of 60
// or more, an odd number of hole values, and bad segments as triangulate
// reports them; std::runtime_error, naming the bound, when more than
// quality.maxSteiner new points would be needed (bounds near 60 degrees, say).
// Angles up to about 20.7 degrees always terminate, up to about 33 in
// practice. The input's constrained triangulation is built as triangulate
// builds it (large inputs on several threads); the refinement runs on the
// calling thread. The mesh is the same on every run.
Mesh refine(const std::vector<double>& coords, const std::vector<std::uint32_t>& segments,
            const std::vector<double>& holes, const Quality& quality = {});
Mesh refine(const std::vector<float>& coords, const std::vector<std::uint32_t>& segments,
            const std::vector<float>& holes, const Quality& quality = {});

} // namespace EdgeAlgebra
