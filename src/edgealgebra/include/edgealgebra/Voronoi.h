#pragma once

#include "edgealgebra/Box.h"
#include "edgealgebra/Triangulate.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace EdgeAlgebra {

// The Voronoi diagram dual to a Delaunay triangulation: the cell of a site is
// the part of the plane closer to it than to any other site, here clipped to
// a box. Sites on the hull have unbounded cells; the box bounds them like the
// others. The object keeps the triangulation (move it in to spare the copy)
// and the coordinates, in double precision.
//
//     const Triangulation t = triangulate(coords);
//     const Voronoi voronoi(t, coords, Box{0, 0, 100, 100});
//     for (const auto& [x, y] : voronoi.cell(i)) ...
class Voronoi {
public:
    using Polygon = std::vector<std::array<double, 2>>;

    // `triangulation` must be triangulate(coords), for coordinates in single
    // or in double precision. Throws std::invalid_argument for an odd number
    // of coordinates, a triangulation that names sites or half-edges beyond
    // them, or a box that is not a finite rectangle with xmin < xmax and
    // ymin < ymax.
    Voronoi(Triangulation triangulation, const std::vector<float>& coords, const Box& box);
    Voronoi(Triangulation triangulation, std::vector<double> coords, const Box& box);

    // The centre of each triangle's circumcircle, the Voronoi vertex dual to
    // it: x0, y0, x1, y1, ... for triangles 0, 1, ..., in double precision.
    // For a triangle whose corners are nearly on one line the centre lies far
    // away, or is infinite.
    const std::vector<double>& circumcenters() const { return m_circumcenters; }

    // The cell of site i (site i is at coords[2i], coords[2i + 1]) clipped to
    // the box: a convex polygon, its corners counterclockwise. Empty for a
    // site left out of the triangulation (a coincident duplicate, a
    // non-finite site) and for a site whose cell misses the box or only
    // touches it. When all sites lie on one line, the cells are strips across
    // the line. A corner that neighbouring cells share has the same
    // coordinates in each: a corner inside the box is the circumcentre of
    // one of the site's triangles. Throws std::out_of_range for i beyond the
    // sites.
    Polygon cell(std::size_t i) const;

    const Box& box() const { return m_box; }

private:
    // Appends the sites that share a Delaunay edge with site i, and the
    // triangles that have it as a corner.
    void neighbours(std::uint32_t i, std::vector<std::uint32_t>& sites,
                    std::vector<std::uint32_t>& triangles) const;

    Triangulation m_triangulation;
    std::vector<double> m_coords;
    Box m_box;
    std::vector<double> m_circumcenters;
    // Per site: a half-edge that ends at the site, a hull half-edge for a
    // hull site; kNone for a site in no triangle. With no triangles at all
    // (sites on one line), the site's position in the hull instead.
    std::vector<std::uint32_t> m_inedge;
};

} // namespace EdgeAlgebra
