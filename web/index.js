// tessaro: exact Delaunay triangulation in WebAssembly with delaunator's
// interface, plus segments, domains with holes and clipped Voronoi cells.
import createTessaroCore from './dist/tessaro-core.mjs';

const wasmUrl = new URL('./dist/tessaro-core.wasm', import.meta.url);

// The wasm bytes, from the file beside this module: read from disk in Node,
// fetched in a browser.
async function wasmBytes() {
    if (typeof process === 'object' && process.versions && process.versions.node) {
        const { readFile } = await import('node:fs/promises');
        return readFile(wasmUrl);
    }
    const response = await fetch(wasmUrl);
    if (!response.ok) {
        throw new Error(`tessaro: cannot load ${wasmUrl}: ${response.status}`);
    }
    return new Uint8Array(await response.arrayBuffer());
}

const core = await createTessaroCore({ wasmBinary: await wasmBytes() });

const ERROR_TYPES = [Error, RangeError, Error];

// Addresses and sizes come back from the module as signed 32-bit integers;
// above 2 GiB of its memory they must be read as unsigned.
const unsigned = (value) => value >>> 0;

// Throws the core's error, if the last call left one.
function throwCoreError() {
    const kind = core._tessaro_error_kind();
    const message = core.UTF8ToString(unsigned(core._tessaro_error_message()));
    throw new ERROR_TYPES[kind](message);
}

// A block of the module's memory for one call, freed by release().
class Scratch {
    constructor() {
        this.blocks = [];
    }
    allocate(bytes) {
        const address = core._malloc(Math.max(bytes, 8)) >>> 0;
        if (address === 0) {
            throw new RangeError('tessaro: out of memory in the WebAssembly module');
        }
        this.blocks.push(address);
        return address;
    }
    doubles(values) {
        const address = this.allocate(values.length * 8);
        core.HEAPF64.set(values, address / 8);
        return address;
    }
    indices(values) {
        const address = this.allocate(values.length * 4);
        core.HEAPU32.set(values, address / 4);
        return address;
    }
    release() {
        for (const address of this.blocks) core._free(address);
        this.blocks = [];
    }
}

function isArrayLike(value) {
    return value != null && typeof value !== 'string' && typeof value.length === 'number';
}

// Coordinates as a Float64Array: typed arrays as they are, plain arrays
// checked to hold numbers only.
function coordinateArray(coords, what) {
    if (coords instanceof Float64Array) return coords;
    if (!isArrayLike(coords)) {
        throw new TypeError(`tessaro: ${what} must be an array of numbers`);
    }
    if (!ArrayBuffer.isView(coords)) {
        for (let i = 0; i < coords.length; i++) {
            if (typeof coords[i] !== 'number') {
                throw new TypeError(`tessaro: ${what}[${i}] is not a number`);
            }
        }
    }
    return Float64Array.from(coords);
}

// Segment ends as a Uint32Array of site indices.
function segmentArray(segments) {
    if (!isArrayLike(segments)) {
        throw new TypeError('tessaro: segments must be an array of site indices');
    }
    if (segments instanceof Uint32Array) return segments;
    const result = new Uint32Array(segments.length);
    for (let i = 0; i < segments.length; i++) {
        const value = segments[i];
        if (typeof value !== 'number') {
            throw new TypeError(`tessaro: segments[${i}] is not a number`);
        }
        if (!Number.isInteger(value) || value < 0 || value > 0xffffffff) {
            throw new RangeError(`tessaro: segments[${i}] = ${value} is not a site index`);
        }
        result[i] = value;
    }
    return result;
}

// Copies the arrays of a WebTriangulation out of the module's memory.
function readTriangulation(handle) {
    const layout = core.HEAPU32.subarray(unsigned(core._tessaro_layout(handle)) / 4).slice(0, 7);
    const [triangles, halfedgeCount, halfedges, hull, hullCount, constrained, constrainedCount] =
        layout;
    return {
        triangles: core.HEAPU32.slice(triangles / 4, triangles / 4 + halfedgeCount),
        halfedges: new Int32Array(core.HEAP32.buffer.slice(halfedges, halfedges + 4 * halfedgeCount)),
        hull: core.HEAPU32.slice(hull / 4, hull / 4 + hullCount),
        constrained: constrainedCount ? core.HEAPU8.slice(constrained, constrained + constrainedCount) : null,
    };
}

// A WebTriangulation in the module holding the given arrays, for the calls
// that work on an existing triangulation; the caller frees it.
function writeTriangulation(tessaro) {
    const handle = core._tessaro_triangulation_create(
        tessaro.triangles.length, tessaro.hull.length, tessaro.constrained ? 1 : 0);
    if (handle === 0) throwCoreError();
    const [triangles, , halfedges, hull, , constrained] =
        core.HEAPU32.subarray(unsigned(core._tessaro_layout(handle)) / 4).slice(0, 7);
    core.HEAPU32.set(tessaro.triangles, triangles / 4);
    core.HEAP32.set(tessaro.halfedges, halfedges / 4);
    core.HEAPU32.set(tessaro.hull, hull / 4);
    if (tessaro.constrained) core.HEAPU8.set(tessaro.constrained, constrained);
    return handle;
}

// Frees a Voronoi diagram's memory in the module once the diagram is dropped.
const voronoiRegistry = new FinalizationRegistry((handle) => core._tessaro_voronoi_free(handle));
// The same for the point locator a triangulation builds on its first query.
const locatorRegistry = new FinalizationRegistry((handle) => core._tessaro_locator_free(handle));

export class Tessaro {
    // Sites given as objects, read with getX and getY (by default p[0], p[1]).
    static from(points, getX = defaultGetX, getY = defaultGetY, options) {
        if (!isArrayLike(points)) {
            throw new TypeError('tessaro: points must be an array');
        }
        const coords = new Float64Array(points.length * 2);
        for (let i = 0; i < points.length; i++) {
            const p = points[i];
            const x = getX(p, i, points), y = getY(p, i, points);
            if (typeof x !== 'number' || typeof y !== 'number') {
                throw new TypeError(`tessaro: point ${i} has a coordinate that is not a number`);
            }
            coords[2 * i] = x;
            coords[2 * i + 1] = y;
        }
        return new Tessaro(coords, options);
    }

    // coords: x0, y0, x1, y1, ... (a Float64Array or any array of numbers).
    // options.segments: pairs of site indices that must become edges.
    constructor(coords, options = {}) {
        this.coords = coordinateArray(coords, 'coords');
        const segments = options.segments != null ? segmentArray(options.segments) : null;
        const scratch = new Scratch();
        let handle = 0;
        try {
            const coordsAddress = scratch.doubles(this.coords);
            const segmentsAddress = segments ? scratch.indices(segments) : 0;
            handle = core._tessaro_triangulate(coordsAddress, this.coords.length, segmentsAddress,
                                               segments ? segments.length : 0, segments ? 1 : 0);
            if (handle === 0) throwCoreError();
            this._take(readTriangulation(handle));
        } finally {
            if (handle !== 0) core._tessaro_triangulation_free(handle);
            scratch.release();
        }
    }

    _take(arrays) {
        this.free();
        this.triangles = arrays.triangles;
        this.halfedges = arrays.halfedges;
        this.hull = arrays.hull;
        this.constrained = arrays.constrained;
    }

    // Keeps the triangles the segments enclose, less those reachable from a
    // hole point (x0, y0, ...) without crossing a segment.
    keepEnclosed(holes = []) {
        const holeCoords = coordinateArray(holes, 'holes');
        const scratch = new Scratch();
        let handle = 0;
        try {
            handle = writeTriangulation(this);
            const status = core._tessaro_keep_enclosed(handle, scratch.doubles(this.coords),
                                                       this.coords.length,
                                                       scratch.doubles(holeCoords),
                                                       holeCoords.length);
            if (status !== 0) throwCoreError();
            this._take(readTriangulation(handle));
        } finally {
            if (handle !== 0) core._tessaro_triangulation_free(handle);
            scratch.release();
        }
        return this;
    }

    // The Voronoi diagram clipped to bounds [xmin, ymin, xmax, ymax].
    voronoi(bounds = [0, 0, 960, 500]) {
        return new Voronoi(this, bounds);
    }

    // The index of the site nearest to (x, y), as d3-delaunay's find: the
    // lowest index among equally near sites, decided exactly; -1 when no site
    // takes part.
    find(x, y) {
        return core._tessaro_locator_nearest(this._locator(), Number(x), Number(y));
    }

    // The triangle that holds (x, y) (a point on an edge or a corner gets the
    // same one of its triangles every time), or -1 outside the triangulation
    // or in a hole carved by keepEnclosed.
    findTriangle(x, y) {
        return core._tessaro_locator_find(this._locator(), Number(x), Number(y));
    }

    // The point locator, built in the module on the first query and kept
    // there until free() or until the triangulation is collected.
    _locator() {
        if (!this._locatorHandle) {
            const scratch = new Scratch();
            let triangulation = 0;
            try {
                triangulation = writeTriangulation(this);
                const handle = core._tessaro_locator(triangulation, scratch.doubles(this.coords),
                                                     this.coords.length);
                if (handle === 0) throwCoreError();
                this._locatorHandle = handle;
                locatorRegistry.register(this, handle, this);
            } finally {
                if (triangulation !== 0) core._tessaro_triangulation_free(triangulation);
                scratch.release();
            }
        }
        return this._locatorHandle;
    }

    // Frees the point locator of find() now rather than when the
    // triangulation is collected; the arrays themselves are JavaScript's own.
    free() {
        if (this._locatorHandle) {
            locatorRegistry.unregister(this);
            core._tessaro_locator_free(this._locatorHandle);
            this._locatorHandle = 0;
        }
    }
}

function defaultGetX(p) {
    return p[0];
}

function defaultGetY(p) {
    return p[1];
}

export class Voronoi {
    constructor(tessaro, bounds) {
        if (!isArrayLike(bounds) || bounds.length !== 4) {
            throw new TypeError('tessaro: bounds must be [xmin, ymin, xmax, ymax]');
        }
        const [xmin, ymin, xmax, ymax] = Array.from(bounds, Number);
        this.tessaro = tessaro;
        this.xmin = xmin, this.ymin = ymin, this.xmax = xmax, this.ymax = ymax;
        const scratch = new Scratch();
        let triangulation = 0;
        try {
            triangulation = writeTriangulation(tessaro);
            this._handle = core._tessaro_voronoi(triangulation, scratch.doubles(tessaro.coords),
                                                 tessaro.coords.length, xmin, ymin, xmax, ymax);
            if (this._handle === 0) throwCoreError();
        } finally {
            if (triangulation !== 0) core._tessaro_triangulation_free(triangulation);
            scratch.release();
        }
        const centers = unsigned(core._tessaro_voronoi_circumcenters(this._handle)) / 8;
        this.circumcenters =
            core.HEAPF64.slice(centers, centers + unsigned(core._tessaro_voronoi_circumcenter_count(this._handle)));
        voronoiRegistry.register(this, this._handle, this);
    }

    // The cell of site i as a closed polygon [[x0, y0], ..., [x0, y0]], its
    // corners in the order of delaunator's triangles; null for a site without
    // a cell in the bounds.
    cellPolygon(i) {
        if (this._handle === 0) {
            throw new Error('tessaro: this Voronoi diagram has been freed');
        }
        if (!Number.isInteger(i) || i < 0) {
            throw new RangeError(`tessaro: ${i} is not a site index`);
        }
        const count = core._tessaro_voronoi_cell(this._handle, i);
        if (count < 0) throwCoreError();
        if (count === 0) return null;
        const data = unsigned(core._tessaro_voronoi_cell_data(this._handle)) / 8;
        const polygon = [];
        for (let k = 0; k < count; k++) {
            polygon.push([core.HEAPF64[data + 2 * k], core.HEAPF64[data + 2 * k + 1]]);
        }
        polygon.push(polygon[0].slice());
        return polygon;
    }

    // Every site's cell, as cellPolygon gives it.
    *cellPolygons() {
        for (let i = 0; i < this.tessaro.coords.length / 2; i++) {
            const polygon = this.cellPolygon(i);
            if (polygon) {
                polygon.index = i;
                yield polygon;
            }
        }
    }

    // Frees the diagram's memory in the module now rather than when the
    // diagram is collected.
    free() {
        if (this._handle !== 0) {
            voronoiRegistry.unregister(this);
            core._tessaro_voronoi_free(this._handle);
            this._handle = 0;
        }
    }
}

// The module's memory: its size (it grows, never shrinks) and the bytes
// allocated in it now (none between calls, but for live Voronoi diagrams).
export function heapStats() {
    return { heapBytes: core.HEAPU8.length, inUseBytes: unsigned(core._tessaro_heap_in_use()) };
}

export default Tessaro;
