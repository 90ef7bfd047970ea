import assert from 'node:assert/strict';
import { test } from 'node:test';

import Delaunator from 'delaunator';

import { Tessaro, heapStats } from '../index.js';
import { faults } from './exact.mjs';

// A reproducible stream of doubles in [0, 1).
function random(seed) {
    let s = seed >>> 0;
    return () => {
        s = (s + 0x6d2b79f5) >>> 0;
        let t = Math.imul(s ^ (s >>> 15), 1 | s);
        t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
}

function uniform(n, seed) {
    const next = random(seed);
    return Float64Array.from({ length: 2 * n }, () => next() * 1000);
}

// Points of an n x n grid turned by an angle, rounded to doubles: nearly
// cocircular fours everywhere.
function rotatedGrid(n, angle = 0.3) {
    const coords = new Float64Array(2 * n * n);
    const [c, s] = [Math.cos(angle), Math.sin(angle)];
    for (let i = 0; i < n * n; i++) {
        const gx = i % n, gy = Math.floor(i / n);
        coords[2 * i] = gx * c - gy * s;
        coords[2 * i + 1] = gx * s + gy * c;
    }
    return coords;
}

// Sites a hair off one line, and sites on a circle.
function nearlyCollinear(n, seed) {
    const next = random(seed);
    return Float64Array.from({ length: 2 * n }, (_, k) =>
        k % 2 === 0 ? next() * 100 : 0.3 * 0 + 1e-13 * (next() - 0.5));
}

function onCircle(n, seed) {
    const next = random(seed);
    return Float64Array.from({ length: 2 * n }, (_, k) => {
        const angle = 2 * Math.PI * next();
        return k % 2 === 0 ? 1e3 * Math.cos(angle) : 1e3 * Math.sin(angle);
    });
}

// Triangles as rotated triples (smallest corner first, so that the order
// around each triangle is kept), sorted.
function triangleSet(triangles) {
    const list = [];
    for (let e = 0; e < triangles.length; e += 3) {
        const t = [triangles[e], triangles[e + 1], triangles[e + 2]];
        const k = t.indexOf(Math.min(...t));
        list.push(`${t[k]},${t[(k + 1) % 3]},${t[(k + 2) % 3]}`);
    }
    return list.sort();
}

function rotatedToSmallest(hull) {
    const k = hull.indexOf(Math.min(...hull));
    return [...hull.slice(k), ...hull.slice(0, k)];
}

test('triangles and hull equal delaunator\'s on random points', () => {
    for (const [n, seed] of [[3, 1], [10, 2], [100, 3], [5000, 4], [40000, 5]]) {
        const coords = uniform(n, seed);
        const ours = new Tessaro(coords), theirs = new Delaunator(coords);
        assert.deepEqual(triangleSet(ours.triangles), triangleSet(theirs.triangles), `n = ${n}`);
        assert.deepEqual(rotatedToSmallest([...ours.hull]), rotatedToSmallest([...theirs.hull]));
        assert.deepEqual(faults(ours, coords), { pairs: 0, orientation: 0, delaunay: 0 });
    }
});

test('exactly Delaunay on nearly degenerate input, where delaunator is not', () => {
    let delaunatorFaults = 0;
    const inputs = {
        'rotated grid': rotatedGrid(150),
        'nearly collinear': nearlyCollinear(2000, 6),
        'on a circle': onCircle(2000, 7),
        'Tessaro.from': Tessaro.from([[0, 0], [1, 0], [1, 1], [0, 1], [0.5, 0.5 + 1e-17]]).coords,
    };
    for (const [name, coords] of Object.entries(inputs)) {
        const ours = new Tessaro(coords);
        assert.deepEqual(faults(ours, coords), { pairs: 0, orientation: 0, delaunay: 0 }, name);
        const theirs = faults(new Delaunator(coords), coords);
        delaunatorFaults += theirs.orientation + theirs.delaunay;
    }
    assert.ok(delaunatorFaults > 0, 'the inputs no longer trouble delaunator');
});

test('segments become edges and are flagged, bad segments are refused', () => {
    // A chain through the sites in x order never crosses itself.
    const coords = uniform(500, 8);
    const order = [...Array(500).keys()].sort((i, j) => coords[2 * i] - coords[2 * j]);
    const segments = order.slice(1).flatMap((site, k) => [order[k], site]);
    const t = new Tessaro(coords, { segments });
    const flagged = new Set();
    for (let e = 0; e < t.triangles.length; e++) {
        const next = e % 3 === 2 ? e - 2 : e + 1;
        if (t.constrained[e]) flagged.add([t.triangles[e], t.triangles[next]].sort().join());
    }
    const wanted = new Set(order.slice(1).map((site, k) => [order[k], site].sort().join()));
    assert.deepEqual(flagged, wanted);
    assert.deepEqual(faults(t, coords), { pairs: 0, orientation: 0, delaunay: 0 });

    const square = [0, 0, 4, 0, 4, 4, 0, 4];
    for (const [segs, type, message] of [
        [[0, 2, 1], RangeError, /odd/],
        [[0, 9], RangeError, /names site 9/],
        [[0, 2, 1, 3], RangeError, /segments 0 and 1 cross/],
        [[-1, 2], RangeError, /segments\[0\] = -1/],
        [[0, 'a'], TypeError, /segments\[1\]/],
        [7, TypeError, /segments/],
    ]) {
        assert.throws(() => new Tessaro(square, { segments: segs }), (e) => e instanceof type && message.test(e.message));
    }
    assert.throws(() => new Tessaro([0, 0, 1]), (e) => e instanceof RangeError && /odd/.test(e.message));
    assert.throws(() => new Tessaro([0, '1']), TypeError);
    assert.throws(() => new Tessaro('0 1'), TypeError);
});

test('keepEnclosed carves a square frame around a hole', () => {
    const coords = [0, 0, 4, 0, 4, 4, 0, 4, 1, 1, 3, 1, 3, 3, 1, 3];
    const t = new Tessaro(coords, { segments: [0, 1, 1, 2, 2, 3, 3, 0, 4, 5, 5, 6, 6, 7, 7, 4] });
    t.keepEnclosed([2, 2]);
    assert.equal(t.triangles.length, 24);
    assert.equal(t.hull.length, 0);
    assert.equal(t.halfedges.filter((h) => h === -1).length, 8);
    assert.deepEqual(faults(t, coords), { pairs: 0, orientation: 0, delaunay: 0 });
});

test('Voronoi cells tile the bounds and run like the triangles', () => {
    const coords = uniform(300, 9);
    const voronoi = new Tessaro(coords).voronoi([-10, -10, 1010, 1010]);
    let area = 0;
    for (const polygon of voronoi.cellPolygons()) {
        let signed = 0;
        for (let k = 0; k + 1 < polygon.length; k++) {
            signed += polygon[k][0] * polygon[k + 1][1] - polygon[k + 1][0] * polygon[k][1];
        }
        assert.ok(signed < 0, 'cells run clockwise with y up');
        area -= signed / 2;
    }
    assert.ok(Math.abs(area - 1020 * 1020) < 1e-6, `cells cover ${area}`);
    assert.equal(voronoi.circumcenters.length, new Tessaro(coords).triangles.length / 3 * 2);
    assert.throws(() => voronoi.cellPolygon(300), RangeError);
    voronoi.free();
    assert.throws(() => voronoi.cellPolygon(0), /freed/);
    assert.throws(() => new Tessaro(coords).voronoi([0, 0, 0, 1]), RangeError);
});

test('find answers the nearest site, findTriangle the triangle that holds a point', () => {
    // Integer sites, so that ties between equally near sites are exact.
    const coords = Float64Array.from(uniform(400, 11), Math.round);
    const t = new Tessaro(coords);
    const used = new Set(t.triangles);
    const next = random(12);
    for (let k = 0; k < 300; k++) {
        const x = Math.round(next() * 1000), y = Math.round(next() * 1000);
        let best = -1, bestDistance = Infinity;
        for (let i = 0; i < coords.length / 2; i++) {
            const d = (coords[2 * i] - x) ** 2 + (coords[2 * i + 1] - y) ** 2;
            if (d < bestDistance && used.has(i)) best = i, bestDistance = d;
        }
        assert.equal(t.find(x, y), best, `nearest to ${x}, ${y}`);
        const triangle = t.findTriangle(x, y);
        if (triangle >= 0) {
            const [a, b, c] = t.triangles.slice(3 * triangle, 3 * triangle + 3);
            const side = (p, q) => (coords[2 * q] - coords[2 * p]) * (y - coords[2 * p + 1]) -
                                   (coords[2 * q + 1] - coords[2 * p + 1]) * (x - coords[2 * p]);
            assert.ok(side(a, b) <= 0 && side(b, c) <= 0 && side(c, a) <= 0, 'clockwise, holds it');
        }
    }
    const frame = new Tessaro([0, 0, 4, 0, 4, 4, 0, 4, 1, 1, 3, 1, 3, 3, 1, 3],
                              { segments: [0, 1, 1, 2, 2, 3, 3, 0, 4, 5, 5, 6, 6, 7, 7, 4] });
    assert.ok(frame.findTriangle(2, 2) >= 0);
    frame.keepEnclosed([2, 2]);
    assert.equal(frame.findTriangle(2, 2), -1, 'in the hole');
    assert.equal(frame.findTriangle(9, 9), -1, 'outside');
    assert.ok(frame.findTriangle(0.5, 2) >= 0);
    frame.free();
});

test('the heap does not grow over repeated runs, failed ones included', () => {
    const coords = uniform(1e6, 10);
    const run = () => {
        new Tessaro(coords);
        new Tessaro(coords).voronoi([0, 0, 1000, 1000]).free();
        const located = new Tessaro(coords);
        located.find(500, 500);
        located.free();
        assert.throws(() => new Tessaro([0, 0, 4, 0, 4, 4, 0, 4, 2, 1], { segments: [0, 2, 1, 3] }));
    };
    run();
    const first = heapStats();
    for (let k = 0; k < 2; k++) run();
    assert.deepEqual(heapStats(), first);
});
