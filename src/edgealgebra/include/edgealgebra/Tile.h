#pragma once

#include "edgealgebra/Box.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace EdgeAlgebra {

// One tile of a triangulation too large to build in one piece. The caller
// hands over the sites it has gathered for the tile (the tile's own, a halo of
// its neighbours' around it, and the hull of the whole set) and says where
// that gathering is complete; triangulateTile returns the tile's triangles of
// the whole triangulation, or says which of them it cannot vouch for yet.
//
// It rests on the canonical tie-break of triangulate(): a triangle of the
// sites gathered whose closed circumdisk lies where every site of the whole
// set was gathered is a triangle of the whole triangulation.
struct TileWindow {
    // The tile, half-open: [xmin, xmax) x [ymin, ymax). Its outer sides may
    // lie at infinity, so that tiles cover the plane.
    Box tile;
    // Every site of the whole set inside the closed box `seen`, or inside one
    // of the closed boxes `extras`, is among the sites given.
    Box seen;
    std::vector<Box> extras;
    // The bounding box of the whole set.
    Box bounds;
    // The hull of the whole set, counterclockwise, as indices of sites given.
    // A triangle on a hull edge with its circumcentre beyond that edge only
    // needs the thin part of its disk inside the hull to be seen.
    std::vector<std::uint32_t> hull;
};

// A triangle reaching into the tile that the window could not certify: its
// circumdisk, widened by the slack of measuring it in double precision, and
// the bounding box of that disk's part within the bounds. A disk measured as
// infinite or NaN has an infinite extent. A triangle on a hull edge with its
// centre beyond it has the thin cap inside the hull as its extent, and an
// infinite radius: its measured disk may be off by more than the cap is
// high. A caller that finds sites in a doubtful disk (or, for an infinite
// radius, in its extent) decides exactly from the corners.
struct DoubtfulDisk {
    double x, y, radius;
    Box extent;
    // The triangle's corners, as indices of sites given, counterclockwise:
    // for deciding exactly whether a site left out lies in its disk.
    std::array<std::uint32_t, 3> corners;
};

struct TileTriangles {
    // The triangles whose centroid lies in the tile, three indices of sites
    // given per triangle, counterclockwise starting at the corner with the
    // lowest id (so every tile computes a shared triangle's centroid alike).
    std::vector<std::uint32_t> triangles;
    // The triangles reaching into the tile that could not be certified. When
    // there are none, `triangles` is exactly the tile's share of the whole
    // triangulation; otherwise it is, once no site left out lies in a
    // doubtful disk.
    std::vector<DoubtfulDisk> doubtful;
};

// Triangulates `sites` sites at `coords` (x0, y0, x1, y1, ...; site i has the
// id ids[i]) on the calling thread and keeps the tile's triangles. Of sites
// with equal coordinates the one given first takes part, as in triangulate().
TileTriangles triangulateTile(const double* coords, const std::int64_t* ids, std::size_t sites,
                              const TileWindow& window);
TileTriangles triangulateTile(const float* coords, const std::int64_t* ids, std::size_t sites,
                              const TileWindow& window);

// Whether each of `count` points at `coords` (x0, y0, x1, y1, ...) lies in the
// closed circumscribed disk of the counterclockwise triangle `corners` (x, y
// of each), decided exactly: how a caller settles a doubtful disk against
// the sites it left out. Writes 1 or 0 to inside[0 .. count).
void insideClosedDisk(const std::array<double, 6>& corners, const double* coords, std::size_t count,
                      std::uint8_t* inside);

} // namespace EdgeAlgebra
