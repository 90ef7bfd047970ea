// The demo page: the scene, its context menu, clicks, drags and the counter.
import { Scene } from './Scene.js';
import { SceneView } from './SceneView.js';

const canvas = document.getElementById('scene');
const menu = document.getElementById('menu');
const counter = document.getElementById('counter');
const status = document.getElementById('status');
const scene = new Scene();
const view = new SceneView(canvas);

// A press within this many pixels of a site starts or ends a segment there.
const SNAP_PIXELS = 10;

function redraw() {
    view.draw(scene);
    if (scene.triangulations > 0) {
        counter.textContent = `Triangulations: ${scene.triangulations}, the last in ` +
            `${scene.lastTime.toFixed(2)} ms`;
    }
}

function report(error) {
    status.textContent = error ? error.message : '';
}

const commands = {
    triangulate: () => scene.triangulated || scene.triangulate(),
    reset: () => scene.reset(),
    circles: () => scene.toggleCircles(),
    add: () => scene.addFive(),
    remove: () => scene.removeFive(),
};

function run(action) {
    try {
        action();
        report(null);
    } catch (error) {
        report(error);
    }
    redraw();
}

canvas.addEventListener('contextmenu', (event) => {
    event.preventDefault();
    menu.style.left = `${event.pageX}px`;
    menu.style.top = `${event.pageY}px`;
    menu.hidden = false;
});
menu.addEventListener('click', (event) => {
    const command = event.target.dataset.command;
    menu.hidden = true;
    if (command) run(commands[command]);
});
document.addEventListener('click', (event) => {
    if (!menu.contains(event.target)) menu.hidden = true;
});

function siteNear(px, py) {
    let best = -1, bestDistance = SNAP_PIXELS;
    scene.sites.forEach((site, i) => {
        const [sx, sy] = view.toCanvas(site);
        const distance = Math.hypot(sx - px, sy - py);
        if (distance <= bestDistance) [best, bestDistance] = [i, distance];
    });
    return best;
}

// A press and release at one place adds a site; from one site to another,
// a segment.
let pressed = null;
canvas.addEventListener('mousedown', (event) => {
    if (event.button === 0 && menu.hidden) pressed = [event.offsetX, event.offsetY];
});
canvas.addEventListener('mouseup', (event) => {
    if (event.button !== 0 || !pressed) return;
    const [x0, y0] = pressed;
    pressed = null;
    if (Math.hypot(event.offsetX - x0, event.offsetY - y0) < 4) {
        run(() => scene.addSite(...view.toPlane(x0, y0)));
        return;
    }
    const from = siteNear(x0, y0), to = siteNear(event.offsetX, event.offsetY);
    if (from < 0 || to < 0) {
        report(new Error('A segment runs from one site to another: start and end the drag on sites.'));
        return;
    }
    run(() => scene.addSegment(from, to));
});

document.getElementById('voronoi').addEventListener('change', (event) => {
    view.showVoronoi = event.target.checked;
    redraw();
});

// For the browser test: the sites' places on the canvas.
window.tessaroDemo = { scene, sitesOnCanvas: () => scene.sites.map((s) => view.toCanvas(s)) };
redraw();
document.body.dataset.ready = 'true';
