// Exact checks of flat triangulations in delaunator's conventions, in BigInt:
// every double is an integer times a power of two, so at the smallest power
// among the points of one determinant all of them are integers.

const view = new DataView(new ArrayBuffer(8));

// [significand, exponent] with value = significand * 2^exponent.
function split(x) {
    view.setFloat64(0, x);
    const high = view.getUint32(0), low = view.getUint32(4);
    const biased = (high >>> 20) & 0x7ff;
    let significand = (BigInt(high & 0xfffff) << 32n) | BigInt(low);
    if (biased !== 0) significand |= 1n << 52n;
    const exponent = (biased === 0 ? 1 : biased) - 1075;
    return [x < 0 ? -significand : significand, exponent];
}

function integers(values) {
    const parts = values.map(split);
    const low = Math.min(...parts.map(([, e]) => e));
    return parts.map(([m, e]) => m << BigInt(e - low));
}

const sign = (v) => (v > 0n ? 1 : v < 0n ? -1 : 0);

// Sign of the orientation of a, b, c: positive counterclockwise with y up.
export function orient(ax, ay, bx, by, cx, cy) {
    const [xa, ya, xb, yb, xc, yc] = integers([ax, ay, bx, by, cx, cy]);
    return sign((xb - xa) * (yc - ya) - (yb - ya) * (xc - xa));
}

// Sign of the in-circle determinant of d against a, b, c: positive when d is
// inside the circle through a, b, c taken counterclockwise.
export function inCircle(ax, ay, bx, by, cx, cy, dx, dy) {
    const [xa, ya, xb, yb, xc, yc, xd, yd] = integers([ax, ay, bx, by, cx, cy, dx, dy]);
    const adx = xa - xd, ady = ya - yd, bdx = xb - xd, bdy = yb - yd, cdx = xc - xd, cdy = yc - yd;
    const alift = adx * adx + ady * ady, blift = bdx * bdx + bdy * bdy, clift = cdx * cdx + cdy * cdy;
    return sign(alift * (bdx * cdy - cdx * bdy) + blift * (cdx * ady - adx * cdy) +
                clift * (adx * bdy - bdx * ady));
}

const next = (e) => (e % 3 === 2 ? e - 2 : e + 1);

// The faults of a triangulation in delaunator's order: mismatched half-edge
// pairs, triangles that do not run clockwise (y up), and edges that are not
// locally Delaunay (the far corner strictly inside the other triangle's
// circle) unless `constrained` marks them. Returns counts; all zero for an
// exact Delaunay triangulation.
export function faults({ triangles, halfedges, constrained }, coords) {
    const x = (i) => coords[2 * i], y = (i) => coords[2 * i + 1];
    const result = { pairs: 0, orientation: 0, delaunay: 0 };
    for (let e = 0; e < triangles.length; e++) {
        const h = halfedges[e];
        if (h !== -1 && (halfedges[h] !== e || triangles[h] !== triangles[next(e)])) result.pairs++;
        if (e % 3 === 0) {
            const [a, b, c] = [triangles[e], triangles[e + 1], triangles[e + 2]];
            if (orient(x(a), y(a), x(b), y(b), x(c), y(c)) >= 0) result.orientation++;
        }
        if (h > e && !(constrained && constrained[e])) {
            // Triangle of e, clockwise: a, b, c; the far corner of h's.
            const a = triangles[e], b = triangles[next(e)], c = triangles[next(next(e))];
            const d = triangles[next(next(h))];
            if (inCircle(x(a), y(a), x(c), y(c), x(b), y(b), x(d), y(d)) > 0) result.delaunay++;
        }
    }
    return result;
}
