// The program's scene: sites in [-4, 4)², triangulated on request, with its
// rules: 5 to 30 sites, five at a time, frozen once triangulated until Reset.
import { Tessaro } from '../index.js';

export const MIN_SITES = 5;
export const MAX_SITES = 30;

export class Scene {
    constructor(random = Math.random) {
        this.random = random;
        this.triangulations = 0;
        this.reset();
    }

    reset() {
        this.sites = [];
        this.segments = [];
        this.triangulation = null;
        this.circlesEnabled = false;
        this.addRandomSites(MIN_SITES);
    }

    get triangulated() {
        return this.triangulation !== null;
    }

    addRandomSites(count) {
        for (let k = 0; k < count; k++) {
            this.sites.push([this.random() * 8 - 4, this.random() * 8 - 4]);
        }
    }

    addFive() {
        if (!this.triangulated && this.sites.length + 5 <= MAX_SITES) this.addRandomSites(5);
    }

    // Removes the five most recent sites, and the segments that used them.
    removeFive() {
        if (this.triangulated || this.sites.length - 5 < MIN_SITES) return;
        this.sites.length -= 5;
        this.segments = this.segments.filter(([a, b]) => a < this.sites.length && b < this.sites.length);
    }

    addSite(x, y) {
        if (!this.triangulated && this.sites.length < MAX_SITES) this.sites.push([x, y]);
    }

    toggleCircles() {
        this.circlesEnabled = !this.circlesEnabled;
    }

    // Adds a segment between two sites. It is tried at once, so that one that
    // crosses another is refused (the core's RangeError) and the scene stays
    // as it was; once triangulated, the scene is triangulated again with it.
    addSegment(a, b) {
        if (a === b) return;
        const segments = [...this.segments, [a, b]];
        new Tessaro(Float64Array.from(this.sites.flat()), { segments: segments.flat() });
        this.segments = segments;
        if (this.triangulated) this.triangulate();
    }

    // Triangulates the sites with the segments; returns the time it took in ms.
    triangulate() {
        const started = performance.now();
        const coords = Float64Array.from(this.sites.flat());
        const triangulation = new Tessaro(coords, { segments: this.segments.flat() });
        this.lastTime = performance.now() - started;
        this.triangulation = triangulation;
        this.triangulations++;
        return this.lastTime;
    }
}
