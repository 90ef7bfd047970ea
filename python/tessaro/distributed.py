"""The triangulation of more points than one machine holds, built in tiles on Dask.

    >>> import dask.array as da, tessaro.distributed
    >>> points = da.random.random((1_000_000, 2), chunks=(250_000, 2))
    >>> triangles = tessaro.distributed.triangulate(points, tile_points=200_000)
    >>> triangles.to_zarr("triangles.zarr")

The result holds exactly the triangles of ``tessaro.triangulate(points)``: that
triangulation is canonical (cocircular ties are broken by the sites'
coordinates alone), so a triangle of the triangulation of the points in a box
whose closed circumscribed disk lies in that box is a triangle of the whole
triangulation. Each tile is triangulated with a halo of its neighbours' points
around it and the points' hull, and keeps the triangles it can certify that
way; a tile with a triangle it cannot certify is done again, seeing also where
that triangle's disk reaches, and after a few such rounds with a wider halo.
Each triangle is emitted by the tile that holds its centroid.
"""

import math

import numpy as np

from ._core import triangulate as _triangulate_all

__all__ = ["triangulate"]

# Points drawn per chunk to place the tile boundaries, and the halo's first
# width in mean point spacings of the tile: Delaunay circumradii rarely exceed
# a few spacings, so most tiles are done in the first round.
_SAMPLE_PER_CHUNK = 20_000
_FIRST_HALO_SPACINGS = 8.0
# Circumdisks are tested in double precision with this relative slack; a disk
# that comes closer to the edge of the seen region than that is not certified,
# and the tile is done again seeing more, which is always sound.
_SLACK = 1e-9


class _Tiling:
    """Tiles by quantiles: columns of equal counts in x, each cut into rows of
    equal counts in y. Tile boxes are half-open, [x0, x1) x [y0, y1), and the
    outer ones reach to infinity, so every point lies in exactly one."""

    def __init__(self, sample, tiles):
        columns = max(1, int(round(math.sqrt(tiles))))
        rows = max(1, math.ceil(tiles / columns))
        self.x_cuts = _cuts(sample[:, 0], columns)
        column_of = np.searchsorted(self.x_cuts, sample[:, 0], side="right")
        self.y_cuts = [_cuts(sample[column_of == c, 1], rows) for c in range(len(self.x_cuts) + 1)]
        self.first = np.cumsum([0] + [len(cuts) + 1 for cuts in self.y_cuts])

    @property
    def count(self):
        return int(self.first[-1])

    def tile_of(self, x, y):
        column = np.searchsorted(self.x_cuts, x, side="right")
        tile = np.empty(len(x), dtype=np.int64)
        for c in np.unique(column):
            at = column == c
            tile[at] = self.first[c] + np.searchsorted(self.y_cuts[c], y[at], side="right")
        return tile

    def box(self, tile):
        column = int(np.searchsorted(self.first, tile, side="right") - 1)
        row = tile - self.first[column]
        xs = np.concatenate([[-np.inf], self.x_cuts, [np.inf]])
        ys = np.concatenate([[-np.inf], self.y_cuts[column], [np.inf]])
        return (xs[column], ys[row], xs[column + 1], ys[row + 1])


def _cuts(values, parts):
    if parts <= 1 or len(values) == 0:
        return np.empty(0)
    cuts = np.quantile(values, np.arange(1, parts) / parts)
    return np.unique(cuts)


def _split(block, offset, tiling):
    """One input chunk cut by tiles: per tile, the global indices and the
    coordinates of its finite points, in index order."""
    block = np.asarray(block)
    finite = np.isfinite(block).all(axis=1)
    index = np.flatnonzero(finite) + offset
    xy = block[finite]
    tile = tiling.tile_of(xy[:, 0].astype(np.float64), xy[:, 1].astype(np.float64))
    order = np.argsort(tile, kind="stable")
    bounds = np.searchsorted(tile[order], np.arange(tiling.count + 1))
    return [(index[order[bounds[t]:bounds[t + 1]]], xy[order[bounds[t]:bounds[t + 1]]])
            for t in range(tiling.count)]


def _piece(parts, tile):
    return parts[tile]


def _gather(*pieces):
    """A tile's points from every chunk's piece, sorted by x so that the
    points in a box are found within the slice of its x range."""
    index = np.concatenate([p[0] for p in pieces])
    xy = np.concatenate([p[1] for p in pieces])
    order = np.argsort(xy[:, 0], kind="stable")
    return index[order], xy[order]


def _within(points, boxes):
    """The points (of a tile, sorted by x) in any of the closed boxes; a point
    in several boxes comes once per box."""
    index, xy = points
    found_index, found_xy = [], []
    for box in boxes:
        lo = np.searchsorted(xy[:, 0], box[0], side="left")
        hi = np.searchsorted(xy[:, 0], box[2], side="right")
        y = xy[lo:hi, 1]
        inside = np.flatnonzero((y >= box[1]) & (y <= box[3])) + lo
        found_index.append(index[inside])
        found_xy.append(xy[inside])
    if not boxes:
        return index[:0], xy[:0]
    return np.concatenate(found_index), np.concatenate(found_xy)


def _sample(block):
    block = np.asarray(block, dtype=np.float64)
    block = block[np.isfinite(block).all(axis=1)]
    step = max(1, len(block) // _SAMPLE_PER_CHUNK)
    return block[::step]


def _hull_candidates(xy):
    """The rows of xy that may lie on its convex hull: all but those clearly
    inside the polygon of its extreme points in eight directions (Akl and
    Toussaint's filter). The test is in double precision with a margin, so a
    point is dropped only when it is strictly inside."""
    x, y = xy[:, 0].astype(np.float64), xy[:, 1].astype(np.float64)
    if len(x) < 16:
        return np.arange(len(x))
    extremes = [np.argmin(x), np.argmin(x - y), np.argmin(y), np.argmax(x + y),
                np.argmax(x), np.argmax(x - y), np.argmax(y), np.argmin(x + y)]
    # Counterclockwise: left, lower left, bottom, ... as the directions turn.
    extremes = [extremes[k] for k in (0, 7, 2, 5, 4, 3, 6, 1)]
    px, py = x[extremes], y[extremes]
    scale = np.max(np.abs(px)) + np.max(np.abs(py))
    inside = np.ones(len(x), dtype=bool)
    for k in range(8):
        ax, ay, bx, by = px[k], py[k], px[(k + 1) % 8], py[(k + 1) % 8]
        if ax == bx and ay == by:
            continue
        side = (bx - ax) * (y - ay) - (by - ay) * (x - ax)
        inside &= side > 1e-12 * scale * (scale + np.abs(x) + np.abs(y))
    return np.flatnonzero(~inside)


def _chunk_hull(block, offset):
    """Candidates for the points' hull from one chunk: its own hull points (all
    of them, those on hull edges too)."""
    block = np.asarray(block)
    finite = np.flatnonzero(np.isfinite(block).all(axis=1))
    finite = finite[_hull_candidates(block[finite])]
    hull = np.asarray(_triangulate_all(block[finite], threads=1).hull, dtype=np.int64)
    if len(finite) and len(hull) == 0:
        hull = np.arange(len(finite))  # one point, or all on one line
    return finite[hull] + offset, block[finite[hull]]


def _hull(*parts):
    index = np.concatenate([p[0] for p in parts])
    xy = np.concatenate([p[1] for p in parts])
    order = np.argsort(index, kind="stable")
    index, xy = index[order], xy[order]
    hull = np.asarray(_triangulate_all(xy).hull, dtype=np.int64)
    if len(hull) == 0:
        hull = np.arange(len(index))
    return index[hull], xy[hull]


def _seen_region(box, margin):
    """The box around a tile in which its task sees every point."""
    return (box[0] - margin, box[1] - margin, box[2] + margin, box[3] + margin)


def _unseen_parts(seen, bounds):
    """The parts of the points' bounding box outside the seen box, as closed
    boxes: there are no points anywhere else that the task has not seen."""
    x0, y0, x1, y1 = bounds
    parts = []
    if seen[0] > x0:
        parts.append((x0, y0, min(seen[0], x1), y1))
    if seen[2] < x1:
        parts.append((max(seen[2], x0), y0, x1, y1))
    if seen[1] > y0:
        parts.append((x0, y0, x1, min(seen[1], y1)))
    if seen[3] < y1:
        parts.append((x0, max(seen[3], y0), x1, y1))
    return parts


def _circumdisks(x, y):
    """Circumcentres and radii of triangles with corners (x[:, k], y[:, k])."""
    bx, by = x[:, 1] - x[:, 0], y[:, 1] - y[:, 0]
    cx, cy = x[:, 2] - x[:, 0], y[:, 2] - y[:, 0]
    d = 2.0 * (bx * cy - by * cx)
    b2, c2 = bx * bx + by * by, cx * cx + cy * cy
    with np.errstate(divide="ignore", invalid="ignore"):
        ux, uy = (cy * b2 - by * c2) / d, (bx * c2 - cx * b2) / d
    return ux + x[:, 0], uy + y[:, 0], np.hypot(ux, uy)


def _clipped_extent(ux, uy, reach, bounds):
    """The bounding boxes of the disks' parts inside the bounding box: where a
    centre lies beyond a side, the disk meets the box in a cap no wider than
    its chord along that side."""
    x0, y0, x1, y1 = bounds
    dy = np.maximum.reduce([y0 - uy, uy - y1, np.zeros(len(uy))])
    dx = np.maximum.reduce([x0 - ux, ux - x1, np.zeros(len(ux))])
    with np.errstate(invalid="ignore"):
        half_x = np.sqrt(np.maximum((reach - dy) * (reach + dy), 0.0))
        half_y = np.sqrt(np.maximum((reach - dx) * (reach + dx), 0.0))
    return np.stack([np.maximum(ux - half_x, x0), np.maximum(uy - half_y, y0),
                     np.minimum(ux + half_x, x1), np.minimum(uy + half_y, y1)], axis=1)


def _boxes_meet_all(extents, box):
    return ((extents[:, 0] <= box[2]) & (extents[:, 2] >= box[0]) &
            (extents[:, 1] <= box[3]) & (extents[:, 3] >= box[1]))


def _narrow_at_hull(extent, triangles, x, y, ux, uy, reach, hull):
    """Where a triangle lies on an edge of the points' hull with its
    circumcentre beyond that edge, the part of its disk within the hull is the
    thin segment between the edge and the arc: its extent shrinks to the
    bounding box of the edge moved inwards by the segment's height."""
    order = hull[0]
    if len(order) < 3:
        return
    codes = np.sort((order << 32) | np.roll(order, -1))
    for k in range(3):
        a, b = triangles[:, k], triangles[:, (k + 1) % 3]
        code = (a << 32) | b
        at = np.minimum(np.searchsorted(codes, code), len(codes) - 1)
        on_hull = codes[at] == code
        if not on_hull.any():
            continue
        ax, ay = x[on_hull, k], y[on_hull, k]
        bx, by = x[on_hull, (k + 1) % 3], y[on_hull, (k + 1) % 3]
        length = np.hypot(bx - ax, by - ay)
        nx, ny = -(by - ay) / length, (bx - ax) / length  # inwards: the hull turns left
        inward = (ux[on_hull] - ax) * nx + (uy[on_hull] - ay) * ny
        height = reach[on_hull] + inward + _SLACK * (length + np.abs(ax) + np.abs(ay))
        beyond = inward <= 0
        corners_x = np.stack([ax, bx, ax + height * nx, bx + height * nx])
        corners_y = np.stack([ay, by, ay + height * ny, by + height * ny])
        rows = np.flatnonzero(on_hull)[beyond]
        narrow = np.stack([corners_x.min(axis=0), corners_y.min(axis=0),
                           corners_x.max(axis=0), corners_y.max(axis=0)], axis=1)[beyond]
        extent[rows] = np.concatenate([np.maximum(extent[rows, :2], narrow[:, :2]),
                                       np.minimum(extent[rows, 2:], narrow[:, 2:])], axis=1)


def _covered(extent, seen, extras, bounds):
    """Whether each extent lies where the task has seen every point: in the
    seen box, or with each of its parts outside that box (within the bounding
    box) in one of the extra boxes."""
    covered = np.ones(len(extent), dtype=bool)
    for part in _unseen_parts(seen, bounds):
        meets = _boxes_meet_all(extent, part)
        piece = np.concatenate([np.maximum(extent[:, :2], part[:2]),
                                np.minimum(extent[:, 2:], part[2:])], axis=1)
        inside = np.zeros(len(extent), dtype=bool)
        for e in extras:
            inside |= ((piece[:, 0] >= e[0]) & (piece[:, 1] >= e[1]) &
                       (piece[:, 2] <= e[2]) & (piece[:, 3] <= e[3]))
        covered &= ~meets | inside
    return covered


def _solve_tile(tile, tiling, margin, extras, bounds, hull, own, *halo):
    """Triangulates a tile and its halo: the points within `margin` of the
    tile and in the `extras` boxes. Returns the triangles that the tile owns
    and None when every triangle reaching into the tile is certified; the
    same triangles and the boxes the doubtful disks reach into when those are
    left to _confirm; None and None when a disk reaches beyond measure."""
    index = np.concatenate([own[0], hull[0]] + [h[0] for h in halo])
    xy = np.concatenate([own[1], hull[1].astype(own[1].dtype)] + [h[1] for h in halo])
    # Index order, so that of coincident points the lowest index takes part,
    # as in the triangulation of all points.
    index, first = np.unique(index, return_index=True)
    xy = xy[first]
    # One thread per task: Dask runs the tasks side by side.
    local = np.asarray(_triangulate_all(xy, threads=1).triangles, dtype=np.int64).reshape(-1, 3)
    triangles = index[local]
    # Each triangle from its lowest index on (still counterclockwise), so that
    # every tile computes the same centroid for it, bit for bit.
    turn = np.argmin(triangles, axis=1)
    rows = np.arange(len(triangles))[:, None]
    columns = (turn[:, None] + np.arange(3)) % 3
    triangles = triangles[rows, columns]
    local = local[rows, columns]
    x = xy[:, 0].astype(np.float64)[local]
    y = xy[:, 1].astype(np.float64)[local]

    box = tiling.box(tile)
    touching = ((x.min(axis=1) <= box[2]) & (x.max(axis=1) >= box[0]) &
                (y.min(axis=1) <= box[3]) & (y.max(axis=1) >= box[1]))
    # A triangle is certified when the part of its closed circumdisk within
    # the points' hull lies where the task has seen every point: it is then a
    # triangle of the triangulation of all points. Every triangle reaching
    # into the tile must be; they then cover the tile, and a triangle of the
    # whole triangulation whose centroid lies in the tile is the local
    # triangle that holds that centroid.
    ux, uy, r = _circumdisks(x[touching], y[touching])
    reach = r + _SLACK * (r + np.abs(ux) + np.abs(uy))
    reach = np.where(np.isnan(reach), np.inf, reach)
    extent = _clipped_extent(ux, uy, reach, bounds)
    _narrow_at_hull(extent, triangles[touching], x[touching], y[touching], ux, uy, reach, hull)
    certified = _covered(extent, _seen_region(box, margin), extras, bounds)
    centroid_x = (x[:, 0] + x[:, 1] + x[:, 2]) / 3.0
    centroid_y = (y[:, 0] + y[:, 1] + y[:, 2]) / 3.0
    owned = triangles[(tiling.tile_of(centroid_x, centroid_y) == tile) & touching]
    if certified.all():
        return owned, None
    # Not yet certified: the triangles stand if no point lies in the boxes
    # that the doubtful disks reach into, besides those seen (_confirm).
    wanted = extent[~certified]
    if not np.isfinite(wanted).all():
        return None, None  # a disk beyond measure: the margin grows instead
    return owned, [tuple(map(float, w)) for w in wanted]


def _confirm(result, seen, *points):
    """A tile's triangles, certified after all when the only points in the
    boxes its doubtful disks reach into are points it has seen; otherwise
    None, and the tile is done again."""
    triangles, wanted = result
    for index, xy in points:
        x, y = xy[:, 0], xy[:, 1]
        unseen = np.ones(len(index), dtype=bool)
        for box in seen:
            unseen &= ~_in_box(x, y, box)
        if unseen.any():
            return None, wanted
    return triangles, None


def _merged(boxes, limit=32):
    """At most `limit` boxes covering the given ones: beyond that, the boxes
    are merged in groups along their order."""
    boxes = sorted(boxes)
    while len(boxes) > limit:
        boxes = [tuple(np.concatenate([np.minimum(a[:2], b[:2]), np.maximum(a[2:], b[2:])]))
                 for a, b in zip(boxes[::2], boxes[1::2] + boxes[-1:])]
    return boxes


def _as_dask(points):
    import dask.array as da

    if not isinstance(points, da.Array):
        points = np.asarray(points)
        if points.dtype not in (np.float32, np.float64):
            points = points.astype(np.float64)
        points = da.from_array(points, chunks=(max(1, min(len(points), 4_000_000)), 2))
    if points.ndim != 2 or points.shape[1] != 2:
        raise ValueError(f"points must have shape (n, 2), not {points.shape}")
    if points.dtype not in (np.float32, np.float64):
        points = points.astype(np.float64)
    return points.rechunk({1: 2})


def triangulate(points, *, tile_points=4_000_000, client=None):
    """The Delaunay triangulation of `points`, built in tiles on Dask.

    points: an (n, 2) Dask or NumPy array of float64 or float32.
    tile_points: about how many points each task triangulates (plus its halo);
        a task's memory follows this, not n.
    client: a distributed.Client to run on; without one, Dask's default
        scheduler (the local threads, unless a Client is the default).

    Returns a Dask array of shape (m, 3), int64 indices into `points`, one row
    per triangle, counterclockwise: exactly the triangles of
    tessaro.triangulate(points), each once. Of coincident points the lowest
    index takes part; points with a non-finite coordinate take none.
    """
    import dask
    import dask.array as da
    from dask import delayed

    if int(tile_points) < 3:
        raise ValueError(f"tile_points must be at least 3, not {tile_points}")
    points = _as_dask(points)
    if points.shape[0] == 0:
        return da.zeros((0, 3), dtype=np.int64)
    def run(*things):
        if client is not None:
            return client.gather(client.compute(list(things)))
        return list(dask.compute(*things))

    def persist(*things):
        if client is not None:
            return client.persist(list(things))
        return list(dask.persist(*things))

    blocks = points.to_delayed().ravel()
    offsets = np.concatenate([[0], np.cumsum(points.chunks[0])])[:-1]

    # The points' bounding box, a sample for the tile boundaries, and the hull.
    finite = da.isfinite(points).all(axis=1)
    low = da.where(finite[:, None], points, np.inf).min(axis=0)
    high = da.where(finite[:, None], points, -np.inf).max(axis=0)
    hull = delayed(_hull)(*[delayed(_chunk_hull)(b, o) for b, o in zip(blocks, offsets)])
    sample = delayed(np.concatenate)([delayed(_sample)(b) for b in blocks])
    low, high, count, sample, hull = run(low, high, finite.sum(), sample, hull)
    bounds = (float(low[0]), float(low[1]), float(high[0]), float(high[1]))
    if count < 3:
        return da.zeros((0, 3), dtype=np.int64)
    tiling = _Tiling(sample, math.ceil(count / int(tile_points)))

    # Every chunk cut by tiles, and every tile's points gathered.
    parts = [delayed(_split)(b, o, tiling) for b, o in zip(blocks, offsets)]
    own = [delayed(_gather)(*[delayed(_piece)(p, t) for p in parts]) for t in range(tiling.count)]
    own = persist(*own)
    sizes = run(*[delayed(lambda p: len(p[0]))(o) for o in own])

    hull_points = hull
    hull = delayed(hull, traverse=False)
    margins = {}
    for t in range(tiling.count):
        box = tiling.box(t)
        clipped = [max(box[0], bounds[0]), max(box[1], bounds[1]),
                   min(box[2], bounds[2]), min(box[3], bounds[3])]
        area = max(clipped[2] - clipped[0], 0.0) * max(clipped[3] - clipped[1], 0.0)
        spacing = math.sqrt(area / max(sizes[t], 1))
        extent = max(bounds[2] - bounds[0], bounds[3] - bounds[1])
        margins[t] = max(_FIRST_HALO_SPACINGS * spacing, 1e-6 * extent, 1e-300)

    # Rounds: a tile whose triangles cannot all be certified is done again,
    # seeing also the boxes that its uncertified triangles' disks reach into;
    # after a few such rounds its margin grows instead, which ends once it
    # covers the bounding box.
    extras = {t: _hull_bands(hull_points, _seen_region(tiling.box(t), margins[t]), margins[t],
                             sample, count, tile_points)
              for t in range(tiling.count)}
    failures = {t: 0 for t in range(tiling.count)}
    done = {}
    pending = list(range(tiling.count))
    while pending:
        tasks = []
        for t in pending:
            seen = [_seen_region(tiling.box(t), margins[t])] + extras[t]
            neighbours = [u for u in range(tiling.count)
                          if u != t and any(_boxes_meet(tiling.box(u), b) for b in seen)]
            halo = [delayed(_within)(own[u], seen) for u in neighbours]
            tasks.append(delayed(_solve_tile)(t, tiling, margins[t], extras[t], bounds, hull,
                                              own[t], *halo))
        results = persist(*tasks)
        outcomes = run(*[delayed(_outcome)(r) for r in results])
        # Tiles with doubtful triangles: confirmed when the boxes their disks
        # reach into hold no point the tile has not seen.
        doubtful = [k for k, (size, wanted) in enumerate(outcomes)
                    if size is not None and wanted is not None]
        confirms = []
        for k in doubtful:
            t = pending[k]
            seen = [_seen_region(tiling.box(t), margins[t])] + extras[t]
            wanted = outcomes[k][1]
            sources = [u for u in range(tiling.count)
                       if any(_boxes_meet(tiling.box(u), b) for b in wanted)]
            confirms.append(delayed(_confirm)(results[k], seen,
                                              *[delayed(_within)(own[u], wanted) for u in sources]))
        confirmed = persist(*confirms) if confirms else []
        for k, result, outcome in zip(doubtful, confirmed,
                                      run(*[delayed(_outcome)(c) for c in confirmed])):
            results[k] = result
            outcomes[k] = outcome
        still = []
        for t, result, (size, wanted) in zip(pending, results, outcomes):
            if size is not None and wanted is None:
                done[t] = (result, size)
                continue
            failures[t] += 1
            if wanted is None or failures[t] > 3:
                margins[t] *= 2.0
            else:
                extras[t] = _merged(extras[t] + wanted)
            still.append(t)
        pending = still

    arrays = [da.from_delayed(delayed(_triangles)(done[t][0]), shape=(done[t][1], 3),
                              dtype=np.int64) for t in range(tiling.count)]
    # Regular chunks, as zarr stores them.
    return da.concatenate(arrays, axis=0).rechunk({0: max(2 * int(tile_points), 1)})


def _hull_bands(hull, seen, margin, sample, count, tile_points):
    """Boxes around the hull's edges that meet a tile's seen box, each edge's
    bounding box widened by the margin. Triangles on a long hull edge have
    huge circumdisks whose parts inside the hull are thin slivers along the
    edge, reaching past the tile's halo; seeing the band along the edge
    certifies them in the first round. A band that the sample says would
    bring in many points is left out (the tile is then done again instead)."""
    index, xy = hull
    if len(index) < 3:
        return []
    x, y = xy[:, 0].astype(np.float64), xy[:, 1].astype(np.float64)
    bands = []
    for k in range(len(index)):
        j = (k + 1) % len(index)
        band = (min(x[k], x[j]) - margin, min(y[k], y[j]) - margin,
                max(x[k], x[j]) + margin, max(y[k], y[j]) + margin)
        if not _boxes_meet(band, seen):
            continue
        inside = np.count_nonzero(_in_box(sample[:, 0], sample[:, 1], band))
        if inside * count / max(len(sample), 1) <= tile_points / 8:
            bands.append(band)
    return _merged(bands) if len(bands) > 32 else bands


def _in_box(x, y, box):
    return (x >= box[0]) & (x <= box[2]) & (y >= box[1]) & (y <= box[3])


def _boxes_meet(box, seen):
    return box[0] <= seen[2] and box[2] >= seen[0] and box[1] <= seen[3] and box[3] >= seen[1]


def _outcome(result):
    triangles, wanted = result
    return (None if triangles is None else len(triangles)), wanted


def _triangles(result):
    return result[0]
