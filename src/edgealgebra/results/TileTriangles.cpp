#include "edgealgebra/Tile.h"

#include "edgealgebra/Circumcenter.h"
#include "edgealgebra/Triangulate.h"
#include "predicates/DoublePredicates.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace EdgeAlgebra {

namespace {

// Circumdisks are measured in double precision and widened by this relative
// slack; a disk that comes closer than that to the edge of the seen region is
// not certified, which only ever costs the caller another look.
constexpr double kSlack = 1e-9;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

const Box kEverywhere{-kInfinity, -kInfinity, kInfinity, kInfinity};

bool meets(const Box& a, const Box& b) {
    return a.xmin <= b.xmax && a.xmax >= b.xmin && a.ymin <= b.ymax && a.ymax >= b.ymin;
}

bool contains(const Box& outer, const Box& inner) {
    return inner.xmin >= outer.xmin && inner.ymin >= outer.ymin && inner.xmax <= outer.xmax &&
           inner.ymax <= outer.ymax;
}

Box intersection(const Box& a, const Box& b) {
    return {std::max(a.xmin, b.xmin), std::max(a.ymin, b.ymin), std::min(a.xmax, b.xmax),
            std::min(a.ymax, b.ymax)};
}

bool isFiniteBox(const Box& b) {
    return std::isfinite(b.xmin) && std::isfinite(b.ymin) && std::isfinite(b.xmax) &&
           std::isfinite(b.ymax);
}

struct Corner {
    double x, y;
};

struct Disk {
    double x, y, reach; // reach: the radius widened by the slack
};

Disk circumdisk(const std::array<Corner, 3>& c) {
    const auto centre = circumcenter(c[0].x, c[0].y, c[1].x, c[1].y, c[2].x, c[2].y);
    const double dx = centre[0] - c[0].x, dy = centre[1] - c[0].y;
    const double r = std::sqrt(dx * dx + dy * dy);
    return {centre[0], centre[1], r + kSlack * (r + std::abs(centre[0]) + std::abs(centre[1]))};
}

// The bounding box of the disk's part inside the bounds: where the centre lies
// beyond a side, the disk meets the box in a cap no wider than its chord
// along that side.
Box clippedExtent(const Disk& d, const Box& bounds) {
    if (!std::isfinite(d.x) || !std::isfinite(d.y) || !std::isfinite(d.reach)) {
        return kEverywhere;
    }
    const double dy = std::max({bounds.ymin - d.y, d.y - bounds.ymax, 0.0});
    const double dx = std::max({bounds.xmin - d.x, d.x - bounds.xmax, 0.0});
    const double halfX = std::sqrt(std::max((d.reach - dy) * (d.reach + dy), 0.0));
    const double halfY = std::sqrt(std::max((d.reach - dx) * (d.reach + dx), 0.0));
    return intersection({d.x - halfX, d.y - halfY, d.x + halfX, d.y + halfY}, bounds);
}

// A triangle obtuse at c, with its circumcentre beyond its longest edge a -> b
// (c lies to the left): a sliver whose disk may be huge and whose centre,
// measured in double precision, may then be off by more than the parts of
// the disk that matter are wide. Its extent is computed from the corners,
// where it is well conditioned. With l half the edge, c at height h over it
// and p along it from its middle, the centre lies d = (l^2 - p^2 - h^2) / 2h
// beyond the edge, and the disk's part on c's side is a cap s = l^2 / (r + d)
// high over the edge. Beyond the edge the disk reaches d + r deep, and it
// matters only as deep as the sites reach there: not at all past a hull
// edge, at most `depth` otherwise. Its chord t beyond the edge is
// 2 sqrt((s + t)(r + d - t)) long, widest at t = d. Returns false when the
// triangle is not such a sliver.
bool sliverExtent(Box& extent, Corner a, Corner b, Corner c, bool hullEdge, const Box& bounds) {
    const double length = std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y));
    const double tx = (b.x - a.x) / length, ty = (b.y - a.y) / length;
    const double nx = -ty, ny = tx; // towards c
    const double h = (c.x - a.x) * nx + (c.y - a.y) * ny;
    const double p = (c.x - a.x) * tx + (c.y - a.y) * ty - length / 2;
    const double l = length / 2;
    const double beyond = (l - p) * (l + p) - h * h;
    if (!(h > 0.0) || !(beyond > 0.0)) {
        return false;
    }
    const double d = beyond / (2 * h);
    const double r = std::sqrt(l * l + d * d);
    const double slack = kSlack * (length + std::abs(a.x) + std::abs(a.y));
    const double cap = l * l / (r + d) * (1 + kSlack) + slack;
    double depth = 0.0;
    if (!hullEdge) {
        for (const double x : {bounds.xmin, bounds.xmax}) {
            for (const double y : {bounds.ymin, bounds.ymax}) {
                depth = std::max(depth, -((x - a.x) * nx + (y - a.y) * ny));
            }
        }
        depth = std::min(depth + slack, d + r + slack);
    }
    // The chord is widest where it passes the centre, d beyond the edge.
    const double widest = std::min(depth, d);
    const double half =
        hullEdge ? l : std::sqrt((cap + widest) * (r + d - widest)) * (1 + kSlack) + slack;
    const double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
    double xs[4], ys[4];
    for (int k = 0; k < 4; ++k) {
        const double along = k % 2 ? half : -half, across = k / 2 ? cap : -depth;
        xs[k] = mx + along * tx + across * nx;
        ys[k] = my + along * ty + across * ny;
    }
    const Box strip{*std::min_element(xs, xs + 4), *std::min_element(ys, ys + 4),
                    *std::max_element(xs, xs + 4), *std::max_element(ys, ys + 4)};
    if (!isFiniteBox(strip)) {
        return false;
    }
    extent = intersection(strip, bounds);
    return true;
}

// The parts of the bounds outside the seen box: there are no sites anywhere
// else that were not gathered.
std::vector<Box> unseenParts(const Box& seen, const Box& bounds) {
    std::vector<Box> parts;
    if (seen.xmin > bounds.xmin) {
        parts.push_back({bounds.xmin, bounds.ymin, std::min(seen.xmin, bounds.xmax), bounds.ymax});
    }
    if (seen.xmax < bounds.xmax) {
        parts.push_back({std::max(seen.xmax, bounds.xmin), bounds.ymin, bounds.xmax, bounds.ymax});
    }
    if (seen.ymin > bounds.ymin) {
        parts.push_back({bounds.xmin, bounds.ymin, bounds.xmax, std::min(seen.ymin, bounds.ymax)});
    }
    if (seen.ymax < bounds.ymax) {
        parts.push_back({bounds.xmin, std::max(seen.ymax, bounds.ymin), bounds.xmax, bounds.ymax});
    }
    return parts;
}

// Whether the extent lies where every site was gathered: each of its pieces
// outside the seen box lies in one of the extra boxes.
bool covered(const Box& extent, const std::vector<Box>& unseen, const std::vector<Box>& extras) {
    for (const Box& part : unseen) {
        if (!meets(extent, part)) {
            continue;
        }
        const Box piece = intersection(extent, part);
        if (std::none_of(extras.begin(), extras.end(),
                         [&](const Box& e) { return contains(e, piece); })) {
            return false;
        }
    }
    return true;
}

// Whether the counterclockwise triangle may meet the box: false only when the
// line of one of its edges leaves the whole box clearly outside. The box's
// corner furthest inside is tested, with a margin far above the rounding of
// the sum, so a triangle that touches the box is never left out. Huge thin
// triangles between far-apart sites, whose bounding boxes meet many tiles,
// meet few of them.
bool mayMeet(const std::array<Corner, 3>& c, const Box& b) {
    for (std::size_t j = 0; j < 3; ++j) {
        const Corner &a = c[j], &e = c[(j + 1) % 3];
        const double dx = e.x - a.x, dy = e.y - a.y;
        const double along = dx * ((dx > 0 ? b.ymax : b.ymin) - a.y);
        const double across = dy * ((dy > 0 ? b.xmin : b.xmax) - a.x);
        if (along - across < -1e-12 * (std::abs(along) + std::abs(across))) {
            return false;
        }
    }
    return true;
}

bool inHalfOpen(const Box& b, double x, double y) {
    return b.xmin <= x && x < b.xmax && b.ymin <= y && y < b.ymax;
}

// Directed hull edges a -> b as sorted keys, for the edges' lookups.
std::vector<std::uint64_t> hullEdges(const std::vector<std::uint32_t>& hull) {
    std::vector<std::uint64_t> keys;
    if (hull.size() >= 3) {
        for (std::size_t k = 0; k < hull.size(); ++k) {
            keys.push_back(std::uint64_t{hull[k]} << 32 | hull[(k + 1) % hull.size()]);
        }
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

// A triangle belongs to the tile holding its centroid, computed from the
// lowest id on, so that every tile computes it alike, to the last bit.
void keepIfOwned(TileTriangles& kept, const Box& tile, const std::array<Corner, 3>& c,
                 const std::array<std::uint32_t, 3>& site) {
    if (inHalfOpen(tile, (c[0].x + c[1].x + c[2].x) / 3.0, (c[0].y + c[1].y + c[2].y) / 3.0)) {
        for (std::size_t k = 0; k < 3; ++k) {
            kept.triangles.push_back(site[k]);
        }
    }
}

template <typename Coordinate>
TileTriangles keepTile(const Coordinate* coords, const std::int64_t* ids, const Triangulation& t,
                       const TileWindow& w) {
    const std::vector<std::uint64_t> onHull = hullEdges(w.hull);
    const std::vector<Box> unseen = unseenParts(w.seen, w.bounds);
    TileTriangles kept;
    kept.triangles.reserve(t.triangles.size());
    for (std::size_t e = 0; e < t.triangles.size(); e += 3) {
        // From the lowest id on, still counterclockwise.
        std::size_t first = 0;
        for (std::size_t k = 1; k < 3; ++k) {
            if (ids[t.triangles[e + k]] < ids[t.triangles[e + first]]) {
                first = k;
            }
        }
        std::array<std::uint32_t, 3> site;
        std::array<Corner, 3> c;
        for (std::size_t k = 0; k < 3; ++k) {
            site[k] = t.triangles[e + (first + k) % 3];
            c[k] = {double(coords[2 * std::size_t{site[k]}]),
                    double(coords[2 * std::size_t{site[k]} + 1])};
        }
        const Box box{std::min({c[0].x, c[1].x, c[2].x}), std::min({c[0].y, c[1].y, c[2].y}),
                      std::max({c[0].x, c[1].x, c[2].x}), std::max({c[0].y, c[1].y, c[2].y})};
        // The tile cut to the triangle's box is finite, as the tile may not be.
        if (!meets(box, w.tile) || !mayMeet(c, intersection(box, w.tile))) {
            continue;
        }
        // Every triangle reaching into the tile must be certified: they then
        // cover the tile, so the whole triangulation's triangle holding a
        // centroid in the tile is one of them.
        const Disk disk = circumdisk(c);
        // Most disks lie in the seen box outright (a NaN centre fails this).
        if (contains(w.seen, {disk.x - disk.reach, disk.y - disk.reach, disk.x + disk.reach,
                              disk.y + disk.reach})) {
            keepIfOwned(kept, w.tile, c, site);
            continue;
        }
        // The longest edge, from corner k on: a sliver's disk is measured from it.
        std::size_t k = 0;
        double longest = 0.0;
        for (std::size_t j = 0; j < 3; ++j) {
            const Corner &a = c[j], &b = c[(j + 1) % 3];
            const double squared = (b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y);
            if (squared > longest) {
                longest = squared;
                k = j;
            }
        }
        const std::uint64_t key = std::uint64_t{site[k]} << 32 | site[(k + 1) % 3];
        const bool hullEdge = std::binary_search(onHull.begin(), onHull.end(), key);
        Box extent;
        const bool sliver =
            sliverExtent(extent, c[k], c[(k + 1) % 3], c[(k + 2) % 3], hullEdge, w.bounds);
        if (!sliver) {
            extent = clippedExtent(disk, w.bounds);
        }
        if (!covered(extent, unseen, w.extras)) {
            // A sliver's measured disk is no guide: its radius is given as
            // infinite, and its extent holds what of the disk matters.
            kept.doubtful.push_back({disk.x, disk.y, sliver ? kInfinity : disk.reach,
                                     isFiniteBox(extent) ? extent : kEverywhere, site});
        }
        keepIfOwned(kept, w.tile, c, site);
    }
    return kept;
}

} // namespace

TileTriangles triangulateTile(const double* coords, const std::int64_t* ids, std::size_t sites,
                              const TileWindow& window) {
    return keepTile(coords, ids, triangulate(coords, 2 * sites, 1), window);
}

TileTriangles triangulateTile(const float* coords, const std::int64_t* ids, std::size_t sites,
                              const TileWindow& window) {
    return keepTile(coords, ids, triangulate(coords, 2 * sites, 1), window);
}

void insideClosedDisk(const std::array<double, 6>& corners, const double* coords, std::size_t count,
                      std::uint8_t* inside) {
    for (std::size_t i = 0; i < count; ++i) {
        inside[i] =
            DoublePredicates::inCircle(corners[0], corners[1], corners[2], corners[3], corners[4],
                                       corners[5], coords[2 * i], coords[2 * i + 1]) >= 0;
    }
}

} // namespace EdgeAlgebra
