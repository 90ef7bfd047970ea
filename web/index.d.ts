// Exact Delaunay triangulation in WebAssembly with delaunator's interface.

export type Coordinates = Float64Array | ArrayLike<number>;

export interface TessaroOptions {
    /** Pairs of site indices (from0, to0, from1, to1, ...) that must become edges. */
    segments?: Uint32Array | ArrayLike<number>;
}

export class Tessaro {
    /** Sites as objects, read with getX and getY (by default p[0] and p[1]). */
    static from<P>(
        points: ArrayLike<P>,
        getX?: (p: P, i: number, points: ArrayLike<P>) => number,
        getY?: (p: P, i: number, points: ArrayLike<P>) => number,
        options?: TessaroOptions,
    ): Tessaro;

    /**
     * Triangulates x0, y0, x1, y1, ..., exactly in double precision. Throws a
     * RangeError with the core's message for input it refuses (an odd number
     * of values, bad or crossing segments), a TypeError for values that are
     * not numbers.
     */
    constructor(coords: Coordinates, options?: TessaroOptions);

    /** The sites as given (copied into a Float64Array when they were not one). */
    readonly coords: Float64Array;
    /** Three site indices per triangle, clockwise with y up, as delaunator's. */
    triangles: Uint32Array;
    /** The opposite half-edge of each half-edge, -1 on the hull. */
    halfedges: Int32Array;
    /** The hull's sites, in delaunator's order; empty after keepEnclosed. */
    hull: Uint32Array;
    /** With segments: 1 for each half-edge on a segment, 0 otherwise; else null. */
    constrained: Uint8Array | null;

    /**
     * Keeps the triangles the segments enclose, less those reachable from a
     * hole point (x0, y0, ...) without crossing a segment. Returns this.
     */
    keepEnclosed(holes?: Coordinates): this;

    /** The Voronoi diagram clipped to [xmin, ymin, xmax, ymax] (default [0, 0, 960, 500]). */
    voronoi(bounds?: [number, number, number, number] | ArrayLike<number>): Voronoi;

    /**
     * The index of the site nearest to (x, y), as d3-delaunay's find: the lowest
     * index among equally near sites, decided exactly; -1 when no site takes part.
     */
    find(x: number, y: number): number;

    /** The triangle that holds (x, y), or -1 outside the triangulation or in a hole. */
    findTriangle(x: number, y: number): number;

    /** Frees the point locator that find() builds, now rather than when collected. */
    free(): void;
}

export type Polygon = Array<[number, number]>;

export class Voronoi {
    readonly tessaro: Tessaro;
    readonly xmin: number;
    readonly ymin: number;
    readonly xmax: number;
    readonly ymax: number;
    /** The circumcentre of each triangle: x0, y0, x1, y1, ... */
    readonly circumcenters: Float64Array;
    /** The cell of site i, closed (the first corner repeated), or null without one. */
    cellPolygon(i: number): Polygon | null;
    /** Every site's cell, each polygon with the site's index. */
    cellPolygons(): IterableIterator<Polygon & { index: number }>;
    /** Frees the diagram's memory in the module now, not when it is collected. */
    free(): void;
}

/** The module's memory: its size in bytes and the bytes allocated in it now. */
export function heapStats(): { heapBytes: number; inUseBytes: number };

export default Tessaro;
