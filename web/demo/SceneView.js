// Draws the scene as the program does: the camera's 45° view of the plane at
// depth 10 (y up), a grey-blue background, blue circumcircles, red edges
// (segments wider) and green sites on top, optionally yellow Voronoi cells
// beneath.
const FIELD_OF_VIEW = (45 * Math.PI) / 180;
const DEPTH = 10;

export class SceneView {
    constructor(canvas) {
        this.canvas = canvas;
        this.context = canvas.getContext('2d');
        this.showVoronoi = false;
    }

    // Plane units per pixel and the plane's visible box.
    get scale() {
        return (this.canvas.height / 2) / (DEPTH * Math.tan(FIELD_OF_VIEW / 2));
    }
    get bounds() {
        const halfWidth = this.canvas.width / 2 / this.scale, halfHeight = this.canvas.height / 2 / this.scale;
        return [-halfWidth, -halfHeight, halfWidth, halfHeight];
    }
    toCanvas([x, y]) {
        return [this.canvas.width / 2 + x * this.scale, this.canvas.height / 2 - y * this.scale];
    }
    toPlane(px, py) {
        return [(px - this.canvas.width / 2) / this.scale, (this.canvas.height / 2 - py) / this.scale];
    }

    draw(scene) {
        const g = this.context;
        g.fillStyle = 'rgb(127, 127, 178)';
        g.fillRect(0, 0, this.canvas.width, this.canvas.height);
        const t = scene.triangulation;
        if (t && this.showVoronoi) this.drawVoronoi(t);
        if (t && scene.circlesEnabled) this.drawCircles(scene, t);
        if (t) this.drawEdges(scene, t);
        g.fillStyle = 'rgb(0, 255, 0)';
        for (const site of scene.sites) {
            const [px, py] = this.toCanvas(site);
            g.fillRect(px - 2.5, py - 2.5, 5, 5);
        }
    }

    drawEdges(scene, t) {
        const g = this.context;
        g.strokeStyle = 'rgb(255, 0, 0)';
        for (let e = 0; e < t.triangles.length; e++) {
            // Each edge once: from the half-edge with the larger opposite, or on the hull.
            if (t.halfedges[e] > e) continue;
            const next = e % 3 === 2 ? e - 2 : e + 1;
            g.lineWidth = t.constrained && t.constrained[e] ? 3 : 1.5;
            g.beginPath();
            g.moveTo(...this.toCanvas(scene.sites[t.triangles[e]]));
            g.lineTo(...this.toCanvas(scene.sites[t.triangles[next]]));
            g.stroke();
        }
    }

    drawCircles(scene, t) {
        const g = this.context;
        g.strokeStyle = 'rgb(0, 0, 255)';
        g.lineWidth = 1.5;
        for (let e = 0; e < t.triangles.length; e += 3) {
            const [a, b, c] = [0, 1, 2].map((k) => scene.sites[t.triangles[e + k]]);
            // The centre from a: the offset where the bisectors of a-b and a-c meet.
            const bx = b[0] - a[0], by = b[1] - a[1], cx = c[0] - a[0], cy = c[1] - a[1];
            const d = 2 * (bx * cy - by * cx);
            const ux = (cy * (bx * bx + by * by) - by * (cx * cx + cy * cy)) / d;
            const uy = (bx * (cx * cx + cy * cy) - cx * (bx * bx + by * by)) / d;
            const [px, py] = this.toCanvas([a[0] + ux, a[1] + uy]);
            g.beginPath();
            g.arc(px, py, Math.hypot(ux, uy) * this.scale, 0, 2 * Math.PI);
            g.stroke();
        }
    }

    drawVoronoi(t) {
        const g = this.context;
        const voronoi = t.voronoi(this.bounds);
        g.fillStyle = 'rgba(240, 220, 120, 0.5)';
        g.strokeStyle = 'rgb(160, 140, 60)';
        g.lineWidth = 1;
        for (const polygon of voronoi.cellPolygons()) {
            g.beginPath();
            for (const corner of polygon) g.lineTo(...this.toCanvas(corner));
            g.closePath();
            g.fill();
            g.stroke();
        }
        voronoi.free();
    }
}
