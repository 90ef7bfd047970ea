// delaunator and tessaro side by side in one Node process, on the same
// Float64Array: uniform random sites and a rotated grid at 1e5, 1e6 and 1e7
// sites. Time: the best wall-clock time of the repetitions and the CPU time
// of that run. Memory: the arrays the result holds, and for tessaro the
// WebAssembly heap's size after the run (it never shrinks). Faults: the
// triangles that are not clockwise and the edges that are not locally
// Delaunay, counted with exact predicates (robust-predicates).
//
//   node --expose-gc bench/bench.mjs [largest size]
import os from 'node:os';

import Delaunator from 'delaunator';
import { incircle, orient2d } from 'robust-predicates';

import { Tessaro, heapStats } from '../index.js';

const largest = Number(process.argv[2] || 1e7);
const SIZES = [1e5, 1e6, 1e7].filter((n) => n <= largest);
const REPETITIONS = { 1e5: 7, 1e6: 3, 1e7: 1 };

function uniform(n) {
    let s = 12345;
    const next = () => {
        s = (s + 0x6d2b79f5) >>> 0;
        let t = Math.imul(s ^ (s >>> 15), 1 | s);
        t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
    return Float64Array.from({ length: 2 * n }, () => next() * 1000);
}

function rotatedGrid(n) {
    const side = Math.round(Math.sqrt(n));
    const coords = new Float64Array(2 * side * side);
    const [c, s] = [Math.cos(0.3), Math.sin(0.3)];
    for (let i = 0; i < side * side; i++) {
        const gx = i % side, gy = Math.floor(i / side);
        coords[2 * i] = gx * c - gy * s;
        coords[2 * i + 1] = gx * s + gy * c;
    }
    return coords;
}

// The signs robust-predicates gives a counterclockwise triangle and a point
// inside its circle, so that the count below does not depend on its convention.
const CCW = Math.sign(orient2d(0, 0, 1, 0, 0, 1));
const INSIDE = Math.sign(incircle(0, 0, 1, 0, 0, 1, 0.2, 0.2));

function faults({ triangles, halfedges }, coords) {
    let count = 0;
    const next = (e) => (e % 3 === 2 ? e - 2 : e + 1);
    for (let e = 0; e < triangles.length; e++) {
        const a = 2 * triangles[e], b = 2 * triangles[next(e)], c = 2 * triangles[next(next(e))];
        if (e % 3 === 0 && Math.sign(orient2d(coords[a], coords[a + 1], coords[b], coords[b + 1],
                                               coords[c], coords[c + 1])) !== -CCW) count++;
        const h = halfedges[e];
        if (h > e) {
            const d = 2 * triangles[next(next(h))];
            // a, c, b runs counterclockwise.
            if (Math.sign(incircle(coords[a], coords[a + 1], coords[c], coords[c + 1], coords[b],
                                   coords[b + 1], coords[d], coords[d + 1])) === INSIDE) count++;
        }
    }
    return count;
}

const bytes = (r) => r.triangles.byteLength + r.halfedges.byteLength + r.hull.byteLength;
const mb = (n) => (n / 1e6).toFixed(0);

function measure(make, coords, repetitions) {
    let best = null;
    for (let k = 0; k < repetitions; k++) {
        globalThis.gc?.();
        const cpu = process.cpuUsage();
        const started = performance.now();
        const result = make(coords);
        const wall = performance.now() - started;
        const used = process.cpuUsage(cpu);
        if (!best || wall < best.wall) best = { wall, cpu: (used.user + used.system) / 1000, result };
    }
    return best;
}

const peers = {
    delaunator: (coords) => new Delaunator(coords),
    tessaro: (coords) => new Tessaro(coords),
};

console.log(`# ${os.cpus()[0].model}, ${os.cpus().length} cores, ${mb(os.totalmem()) / 1000} GB,` +
            ` Node ${process.version}, delaunator 5.1.0`);
console.log('| input | sites | peer | wall ms | CPU ms | result MB | wasm heap MB | faults | time / delaunator |');
console.log('|---|---|---|---|---|---|---|---|---|');
// Warm both up once, so that the first row does not pay the compilation.
for (const make of Object.values(peers)) make(uniform(1e4));
for (const [input, generate] of [['uniform', uniform], ['rotated grid', rotatedGrid]]) {
    for (const n of SIZES) {
        const coords = generate(n);
        const rows = {};
        for (const [name, make] of Object.entries(peers)) {
            rows[name] = measure(make, coords, REPETITIONS[n]);
            rows[name].faults = faults(rows[name].result, coords);
            rows[name].bytes = bytes(rows[name].result);
            rows[name].result = null;
        }
        for (const [name, row] of Object.entries(rows)) {
            const ratio = name === 'tessaro' ? (row.wall / rows.delaunator.wall).toFixed(2) : '';
            const heap = name === 'tessaro' ? mb(heapStats().heapBytes) : '';
            console.log(`| ${input} | ${n.toExponential(0)} (${coords.length / 2}) | ${name} | ` +
                        `${row.wall.toFixed(0)} | ${row.cpu.toFixed(0)} | ${mb(row.bytes)} | ${heap} | ` +
                        `${row.faults} | ${ratio} |`);
        }
    }
}
