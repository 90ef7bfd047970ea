"""The triangulation of more points than one machine holds, built in tiles on Dask.

    >>> import dask.array as da, tessaro.distributed
    >>> points = da.random.random((1_000_000, 2), chunks=(250_000, 2))
    >>> triangles = tessaro.distributed.triangulate(points, tile_points=200_000)
    >>> triangles.to_zarr("triangles.zarr")

The result holds exactly the triangles of ``tessaro.triangulate(points)``: that
triangulation is canonical (cocircular ties are broken by the sites'
coordinates alone), so a triangle of the triangulation of the points in a box
whose closed circumscribed disk lies in that box is a triangle of the whole
triangulation. Each tile is triangulated in the compiled core (one thread per task) with a
halo of its neighbours' points around it, the points' hull, and bands along
the hull near it, and keeps the triangles it can certify that way. Where a
triangle's disk reaches further, the tiles there are asked for their points
in the disk (only the disks travel): with none, the triangle stands;
otherwise the tile is done again with those points too, until none is
found. Each triangle is emitted by the tile that holds its centroid.
"""

import logging
import math

import numpy as np

from ._core import (_bucket_order, _hull_candidates, _inside_disk, _tile_order,
                    _triangulate_tile)
from ._core import triangulate as _triangulate_all

__all__ = ["triangulate"]

# Progress of long runs: logging.getLogger("tessaro.distributed") at INFO.
_log = logging.getLogger(__name__)

# Points drawn per chunk to place the tile boundaries, and the halo's first
# width in mean point spacings of the tile: Delaunay circumradii rarely exceed
# a few spacings, so most tiles are done in the first round.
_SAMPLE_PER_CHUNK = 20_000
_FIRST_HALO_SPACINGS = 8.0
# Points taken per doubtful disk in a round, nearest its triangle first.
_PER_DISK = 16


class _Tiling:
    """Tiles by quantiles: columns of equal counts in x, each cut into rows of
    equal counts in y. Tile boxes are half-open, [x0, x1) x [y0, y1), and the
    outer ones reach to infinity, so every point lies in exactly one."""

    def __init__(self, sample, tiles, points):
        # Indices are held in 32 bits while they fit: the tiles' points and
        # their triangles stay in memory until written.
        self.index_type = np.uint32 if points <= 2**32 else np.int64
        columns = max(1, int(round(math.sqrt(tiles))))
        rows = max(1, math.ceil(tiles / columns))
        self.x_cuts = _cuts(sample[:, 0], columns)
        column_of = np.searchsorted(self.x_cuts, sample[:, 0], side="right")
        self.y_cuts = [_cuts(sample[column_of == c, 1], rows) for c in range(len(self.x_cuts) + 1)]
        self.first = np.cumsum([0] + [len(cuts) + 1 for cuts in self.y_cuts])

    @property
    def count(self):
        return int(self.first[-1])

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
    if finite.all():
        index, xy = np.arange(offset, offset + len(block), dtype=tiling.index_type), block
    else:
        index, xy = (np.flatnonzero(finite) + offset).astype(tiling.index_type), block[finite]
    # A counting sort in the core, stable: each tile's points stay in index order.
    order, starts = _tile_order(xy, tiling.x_cuts, tiling.y_cuts)
    index, xy = np.take(index, order), np.take(xy, order, axis=0)
    return [(index[starts[t]:starts[t + 1]], xy[starts[t]:starts[t + 1]])
            for t in range(tiling.count)]


def _column(xy, axis):
    """One coordinate as float64, without a copy when it is float64 already."""
    return np.asarray(xy[:, axis], dtype=np.float64)


def _piece(parts, tile):
    # A copy, so that the chunk's arrays go once every tile has its piece.
    return tuple(np.array(a) for a in parts[tile])


# A tile's points are kept in order of 256 x 256 buckets over their extent
# (x bucket first), so that the points in a box are found within one slice
# per x bucket that the box meets.
_SIDE = 256


def _gather(*pieces):
    """A tile's points from every chunk's piece, in bucket order (a counting
    sort in the core, stable: among equal coordinates, index order stays).
    Returns the indices, the coordinates, the bucket keys, and each axis's
    lowest value and buckets per unit."""
    index = np.concatenate([p[0] for p in pieces])
    xy = np.concatenate([p[1] for p in pieces])
    grid = (_axis(xy[:, 0]), _axis(xy[:, 1]))
    order, key = _bucket_order(xy, *grid[0], *grid[1])
    return np.take(index, order), np.take(xy, order, axis=0), key, grid


def _axis(values):
    if len(values) == 0:
        return 0.0, 0.0
    low = float(values.min())
    width = float(values.max()) - low
    scale = (_SIDE - 1) / width if width > 0 else 0.0
    return low, scale if math.isfinite(scale) else 0.0  # else all in one column


def _bucket(values, low, scale):
    if scale == 0:
        return np.zeros(np.shape(values), dtype=np.uint16)
    values = np.asarray(values, dtype=np.float64)
    return np.clip((values - low) * scale, 0, _SIDE - 1).astype(np.uint16)


def _within(points, boxes):
    """The points of a tile in any of the closed boxes, each once, in the
    tile's order."""
    index, xy = points[:2]
    if len(boxes) == 1:
        at = _in_tile_box(points, boxes[0])
    else:
        found = np.zeros(len(index), dtype=bool)  # a mask: boxes may overlap
        for box in boxes:
            found[_in_tile_box(points, box)] = True
        at = np.flatnonzero(found)
    return np.take(index, at), np.take(xy, at, axis=0)


def _in_tile_box(points, box):
    """The positions of a tile's points in the closed box, in the tile's order."""
    index, xy, key, grid = points
    columns = np.arange(_bucket(box[0], *grid[0]), _bucket(box[2], *grid[0]) + 1,
                        dtype=np.uint16) << 8
    lo = np.searchsorted(key, columns | _bucket(box[1], *grid[1]), side="left")
    hi = np.searchsorted(key, columns | _bucket(box[3], *grid[1]), side="right")
    # The slices of all columns at once: positions lo[k] .. hi[k] - 1.
    lengths = hi - lo
    at = np.repeat(lo - np.cumsum(lengths) + lengths, lengths) + np.arange(lengths.sum())
    return at[_in_box(xy[at, 0], xy[at, 1], box)]


def _summary(block, offset):
    """What the tiling needs from one chunk, in one pass over it: its finite
    points' lowest and highest coordinates, their count, a sample of them,
    and the candidates for the points' hull (the chunk's own hull points, all
    of them, those on hull edges too)."""
    block = np.asarray(block)
    rows, xy = None, block
    low, high = _extent(xy)
    if not (np.isfinite(low).all() and np.isfinite(high).all()):  # NaN spreads too
        rows = np.flatnonzero(np.isfinite(block).all(axis=1))
        xy = block[rows]
        low, high = _extent(xy)
    sample = np.asarray(xy[::max(1, len(xy) // _SAMPLE_PER_CHUNK)], dtype=np.float64)
    candidates = _hull_candidates(xy)
    hull = np.asarray(_triangulate_all(xy[candidates], threads=1).hull, dtype=np.int64)
    if len(candidates) and len(hull) == 0:
        hull = np.arange(len(candidates))  # one point, or all on one line
    at = candidates[hull]
    index = (at if rows is None else rows[at]) + offset
    return low, high, len(xy), sample, (index, xy[at])


def _extent(xy):
    if len(xy) == 0:
        return np.full(2, np.inf), np.full(2, -np.inf)
    return (np.array([xy[:, 0].min(), xy[:, 1].min()], dtype=np.float64),
            np.array([xy[:, 0].max(), xy[:, 1].max()], dtype=np.float64))


def _summed(*summaries):
    """The chunks' summaries as one: bounds, count, sample and hull."""
    low = np.min([s[0] for s in summaries], axis=0)
    high = np.max([s[1] for s in summaries], axis=0)
    return (low, high, sum(s[2] for s in summaries),
            np.concatenate([s[3] for s in summaries]), _hull(*[s[4] for s in summaries]))


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


def _solve_tile(tile, tiling, margin, extras, bounds, hull, found, own, *halo):
    """Triangulates a tile and its halo: the points within `margin` of the
    tile and in the `extras` boxes, and the points `found` in earlier rounds
    in disks the tile could not certify. Returns the triangles that the tile
    owns and None when every triangle reaching into the tile is certified;
    the same triangles and the doubtful disks when those are left to the
    points elsewhere (_refuting); None and None when a disk reaches beyond
    measure."""
    # The hull first: of coincident points the one given first takes part,
    # and the hull holds the lowest index of each. Coincident points lie in
    # one tile, which keeps them in index order, so found points (outside the
    # seen boxes, as the hull may be) come after the hull.
    parts = [hull, found, own[:2]] + list(halo)
    index = np.concatenate([p[0] for p in parts], dtype=own[0].dtype, casting="unsafe")
    xy = np.concatenate([p[1] for p in parts], dtype=own[1].dtype)
    seen = np.array([_seen_region(tiling.box(tile), margin)] + list(extras), dtype=np.float64)
    local, doubtful = _triangulate_tile(xy, index, tiling.box(tile), seen[:1], seen[1:],
                                        bounds, np.arange(len(hull[0])))
    # Held until written as the points' numbers in this task and their indices.
    owned = (index, local)
    if len(doubtful) == 0:
        return owned, None
    # Rows: extent, centre, radius (widened by a slack), corners.
    if not np.isfinite(doubtful[:, :4]).all():
        return None, None  # a disk beyond measure: the margin grows instead
    return owned, doubtful


def _refuting(points, seen, known, wanted, limit):
    """The points of one tile that a doubtful tile has not seen (outside its
    `seen` boxes, and not among the indices `known`, sorted) and that lie in
    one of its doubtful disks, decided exactly: of each disk's, the few
    nearest its triangle, which are the ones likely to be its replacements'
    corners; at most `limit` in all, in the tile's order. Only the disks move
    between tasks, never the points."""
    index, xy = points[:2]
    # Which of the points in any disk's box the tile has not seen, decided
    # once for each point however many boxes hold it.
    unseen = np.zeros(len(index), dtype=bool)
    for row in wanted:
        unseen[_in_tile_box(points, row[:4])] = True
    at = np.flatnonzero(unseen)
    x, y = _column(xy[at], 0), _column(xy[at], 1)
    if len(at):
        reach = (x.min(), y.min(), x.max(), y.max())
        for box in seen:
            if _boxes_meet(box, reach):
                at, x, y = _outside(at, x, y, box)
    if len(known) and len(at):
        slot = np.clip(np.searchsorted(known, index[at]), 0, len(known) - 1)
        fresh = known[slot] != index[at]
        at = at[fresh]
    unseen[:] = False
    unseen[at] = True
    inside = np.zeros(len(index), dtype=bool)
    for row in wanted:
        at = _in_tile_box(points, row[:4])
        at = at[unseen[at] & ~inside[at]]
        x, y = _column(xy[at], 0), _column(xy[at], 1)
        if np.isfinite(row[6]):  # else the extent is a thin cap on the hull
            near = (x - row[4]) ** 2 + (y - row[5]) ** 2 <= row[6] ** 2
            at, x, y = at[near], x[near], y[near]
        hit = _in_circle(row[7:13], x, y)
        at, x, y = at[hit], x[hit], y[hit]
        if len(at) > _PER_DISK:
            distance = (x - row[7:13:2].mean()) ** 2 + (y - row[8:13:2].mean()) ** 2
            at = at[np.argpartition(distance, _PER_DISK)[:_PER_DISK]]
        inside[at] = True
    at = np.flatnonzero(inside)[:limit]
    return index[at], xy[at]


def _outside(at, x, y, box):
    keep = ~_in_box(x, y, box)
    return at[keep], x[keep], y[keep]


def _in_circle(corners, x, y):
    """Whether each point lies in the closed disk of the counterclockwise
    triangle, decided exactly by the core's predicate."""
    return _inside_disk(corners, np.stack([x, y], axis=1))


def _merged(boxes, limit=256):
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
    index takes part; points with a non-finite coordinate take none. The
    stages are reported to logging.getLogger("tessaro.distributed") at INFO.
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
    summaries = [delayed(_summary)(b, o) for b, o in zip(blocks, offsets)]
    low, high, count, sample, hull = run(delayed(_summed)(*summaries))[0]
    bounds = (float(low[0]), float(low[1]), float(high[0]), float(high[1]))
    if count < 3:
        return da.zeros((0, 3), dtype=np.int64)
    tiling = _Tiling(sample, math.ceil(count / int(tile_points)), points.shape[0])
    _log.info("%d points in %d tiles", count, tiling.count)

    # Every chunk cut by tiles, and every tile's points gathered.
    parts = [delayed(_split)(b, o, tiling) for b, o in zip(blocks, offsets)]
    own = [delayed(_gather)(*[delayed(_piece)(p, t) for p in parts]) for t in range(tiling.count)]
    own = persist(*own)
    sizes = run(*[delayed(lambda p: len(p[0]))(o) for o in own])
    _log.info("tiles gathered, %d to %d points each", min(sizes), max(sizes))

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

    # Rounds: a tile whose doubtful disks hold points it has not seen is done
    # again seeing those points too; a tile with a disk beyond measure is
    # done again with twice the margin, which ends once it covers the
    # bounding box. Only the points found in disks move, so a task's memory
    # stays that of its tile and halo.
    extras = {t: _hull_bands(hull_points, _seen_region(tiling.box(t), margins[t]), margins[t],
                             sample, count, tile_points)
              for t in range(tiling.count)}
    def seen_of(t):
        return [_seen_region(tiling.box(t), margins[t])] + extras[t]

    nothing = (np.zeros(0, dtype=tiling.index_type), np.zeros((0, 2), dtype=points.dtype))
    found = {t: nothing for t in range(tiling.count)}
    limit = max(int(tile_points) // 64, 1000)
    done = {}
    pending = list(range(tiling.count))
    rounds = 0
    while pending:
        rounds += 1
        tasks = []
        for t in pending:
            seen = seen_of(t)
            neighbours = [u for u in range(tiling.count)
                          if u != t and any(_boxes_meet(tiling.box(u), b) for b in seen)]
            halo = [delayed(_within)(own[u], [b for b in seen if _boxes_meet(tiling.box(u), b)])
                    for u in neighbours]
            tasks.append(delayed(_solve_tile)(t, tiling, margins[t], extras[t], bounds, hull,
                                              found[t], own[t], *halo))
        results = persist(*tasks)
        outcomes = run(*[delayed(_outcome)(r) for r in results])
        # Tiles with doubtful triangles ask every tile their disks reach into
        # for its unseen points in them; none anywhere certifies the tile.
        searches = []
        for t, (size, wanted) in zip(pending, outcomes):
            if size is None or wanted is None:
                continue
            seen = seen_of(t)
            known = np.sort(np.concatenate([hull_points[0], found[t][0]]))
            for u in range(tiling.count):
                near = [row for row in wanted if _boxes_meet(tiling.box(u), row[:4])]
                if near:
                    searches.append((t, delayed(_refuting)(own[u], seen, known, np.array(near),
                                                           limit)))
        refuters = {t: [] for t, _ in searches}
        for (t, _), points_found in zip(searches, run(*[task for _, task in searches])):
            if len(points_found[0]):
                refuters[t].append(points_found)
        still = []
        for t, result, (size, wanted) in zip(pending, results, outcomes):
            if size is not None and not refuters.get(t):
                done[t] = (result, size)
                continue
            if size is None:
                margins[t] *= 2.0
            else:
                index, xy = (np.concatenate(parts, dtype=parts[0].dtype)
                             for parts in zip(found[t], *refuters[t]))
                # In index order: of coincident points found in different
                # rounds, the lowest index must come first and take part.
                order = np.argsort(index, kind="stable")
                found[t] = (index[order], np.take(xy, order, axis=0))
            still.append(t)
        _log.info("round %d: %d tiles triangulated, %d of them with doubtful disks, "
                  "%d to do again", rounds, len(pending), len(refuters), len(still))
        pending = still

    # Regular chunks, as zarr stores them, each cut straight from the tiles'
    # triangles it spans: no task holds more than its own chunk, and a piece
    # of a tile is cut where the tile is, so only pieces travel.
    first = np.concatenate([[0], np.cumsum([done[t][1] for t in range(tiling.count)])])
    rows = max(int(tile_points) // 4, 1)
    chunks = []
    for start in range(0, int(first[-1]), rows):
        stop = min(start + rows, int(first[-1]))
        tiles = range(int(np.searchsorted(first, start, side="right")) - 1,
                      int(np.searchsorted(first, stop, side="left")))
        spans = [(max(start - int(first[t]), 0), min(stop, int(first[t + 1])) - int(first[t]))
                 for t in tiles]
        pieces = [delayed(_rows)(done[t][0], *span) for t, span in zip(tiles, spans)]
        chunk = pieces[0] if len(pieces) == 1 else delayed(np.concatenate)(pieces)
        chunks.append(da.from_delayed(chunk, shape=(stop - start, 3), dtype=np.int64))
    _log.info("%d triangles in %d tiles", first[-1], tiling.count)
    if not chunks:
        return da.zeros((0, 3), dtype=np.int64)
    return da.concatenate(chunks, axis=0)


def _hull_bands(hull, seen, margin, sample, count, tile_points):
    """Boxes around the hull's edges near a tile, each edge's bounding box
    widened by the margin. Triangles along the hull have huge circumdisks
    whose parts inside the hull are thin caps along it, reaching past the
    tile's halo as far as the hull runs nearly straight; seeing the bands
    along the edges that meet the tile's seen box, and along the hull from
    there until it has turned by an eighth of a turn, certifies them in the
    first round. A band that the sample says would bring in many points is
    left out (the tile then asks for the points in its doubtful disks instead)."""
    index, xy = hull
    if len(index) < 3:
        return []
    x, y = _column(xy, 0), _column(xy, 1)
    nx, ny = np.roll(x, -1), np.roll(y, -1)
    bands = np.stack([np.minimum(x, nx) - margin, np.minimum(y, ny) - margin,
                      np.maximum(x, nx) + margin, np.maximum(y, ny) + margin], axis=1)
    meets = ((bands[:, 0] <= seen[2]) & (bands[:, 2] >= seen[0]) &
             (bands[:, 1] <= seen[3]) & (bands[:, 3] >= seen[1]))
    if not meets.any():
        return []
    # How far the hull has turned at each edge: increasing, a full turn in all.
    turn = np.unwrap(np.arctan2(ny - y, nx - x))
    marked = np.sort(np.concatenate([turn[meets] - 2 * np.pi, turn[meets], turn[meets] + 2 * np.pi]))
    at = np.clip(np.searchsorted(marked, turn), 1, len(marked) - 1)
    nearest = np.minimum(np.abs(turn - marked[at - 1]), np.abs(marked[at] - turn))
    chosen = [tuple(map(float, b)) for b in bands[nearest < np.pi / 4]]
    # The bands together bring in at most a quarter of a tile, by the sample.
    kept, room = [], tile_points / 4 * max(len(sample), 1) / count
    for b in _merged(chosen):
        inside = np.count_nonzero(_in_box(sample[:, 0], sample[:, 1], b))
        if inside <= room:
            kept.append(b)
            room -= inside
    return kept


def _in_box(x, y, box):
    return (x >= box[0]) & (x <= box[2]) & (y >= box[1]) & (y <= box[3])


def _boxes_meet(box, seen):
    return box[0] <= seen[2] and box[2] >= seen[0] and box[1] <= seen[3] and box[3] >= seen[1]


def _outcome(result):
    triangles, wanted = result
    return (None if triangles is None else len(triangles[1])), wanted


def _rows(result, start, stop):
    """Rows start .. stop - 1 of a tile's triangles, as indices."""
    (index, local), _ = result
    return index[local[start:stop]].astype(np.int64)
