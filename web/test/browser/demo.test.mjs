// The demo in headless Chromium: right-click, "Triangulate", "Enable
// Circles", and red edges and blue circles must show around every site.
import assert from 'node:assert/strict';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath } from 'node:url';

import { chromium } from 'playwright-core';

import { decodePng } from './png.mjs';

const root = fileURLToPath(new URL('../..', import.meta.url));
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.mjs': 'text/javascript',
                '.css': 'text/css', '.wasm': 'application/wasm' };

let server, browser, profile;

before(async () => {
    server = createServer((request, response) => {
        const path = normalize(join(root, decodeURIComponent(new URL(request.url, 'http://x').pathname)));
        try {
            if (!path.startsWith(root)) throw new Error('outside');
            const body = readFileSync(path.endsWith('/') ? join(path, 'index.html') : path);
            response.writeHead(200, { 'content-type': TYPES[extname(path) || '.html'] || 'application/octet-stream' });
            response.end(body);
        } catch {
            response.writeHead(404).end();
        }
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    profile = mkdtempSync(join(tmpdir(), 'tessaro-chromium-'));
    // A fresh profile (--user-data-dir) for every run.
    browser = await chromium.launchPersistentContext(profile, {
        executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
        headless: true,
        args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
               '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
});

after(async () => {
    await browser?.close();
    server?.close();
    if (profile) rmSync(profile, { recursive: true, force: true });
});

const isRed = ([r, g, b]) => r > g + 80 && r > b + 50;
const isBlue = ([r, g, b]) => b > r + 90 && b > g + 90;

// How many pixels of a kind lie in the ring from `inner` to `outer` pixels
// around (cx, cy).
function countAround(image, [cx, cy], inner, outer, kind) {
    let count = 0;
    for (let y = Math.floor(cy - outer); y <= cy + outer; y++) {
        for (let x = Math.floor(cx - outer); x <= cx + outer; x++) {
            const d = Math.hypot(x - cx, y - cy);
            if (d >= inner && d <= outer && x >= 0 && y >= 0 && x < image.width && y < image.height &&
                kind(image.pixel(x, y))) count++;
        }
    }
    return count;
}

async function choose(page, canvas, entry) {
    await canvas.click({ button: 'right', position: { x: 5, y: 5 } });
    await page.getByRole('menuitem', { name: entry }).click();
}

test('the demo triangulates and draws circles from its context menu', async () => {
    const page = await browser.newPage();
    const errors = [];
    page.on('pageerror', (error) => errors.push(error));
    await page.goto(`http://127.0.0.1:${server.address().port}/demo/`);
    await page.waitForSelector('body[data-ready="true"]');
    const canvas = page.locator('#scene');
    const sites = await page.evaluate(() => window.tessaroDemo.sitesOnCanvas());

    const before = decodePng(await canvas.screenshot());
    for (const site of sites) assert.equal(countAround(before, site, 5, 12, isRed), 0);

    await choose(page, canvas, 'Triangulate');
    await choose(page, canvas, 'Enable Circles');
    const image = decodePng(await canvas.screenshot());
    for (const site of sites) {
        assert.ok(countAround(image, site, 4, 14, isRed) > 0, `red edges at ${site}`);
        assert.ok(countAround(image, site, 4, 14, isBlue) > 0, `blue circles at ${site}`);
    }
    assert.match(await page.locator('#counter').textContent(), /Triangulations: 1, the last in/);
    assert.deepEqual(errors, []);
});
