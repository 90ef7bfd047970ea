"""Draws docs/python/refined_plate.png: a plate with holes, triangulated as given
(left) and refined to 30 degrees (right).

    PYTHONPATH=build/python /usr/bin/python3 docs/python/refine_plot.py
"""
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np

import tessaro

# A 4 x 2 plate with three round holes (16-gons) of radius 0.4.
outline = np.array([[0, 0], [4, 0], [4, 2], [0, 2]], float)
angles = np.linspace(0, 2 * np.pi, 16, endpoint=False)
centres = np.array([[0.8, 1.0], [2.0, 1.0], [3.2, 1.0]])
circle = 0.4 * np.c_[np.cos(angles), np.sin(angles)]
points = np.vstack([outline] + [c + circle for c in centres])
rings = [np.arange(4)] + [4 + 16 * k + np.arange(16) for k in range(3)]
segments = np.vstack([np.c_[r, np.roll(r, -1)] for r in rings])

plain = tessaro.keep_enclosed(tessaro.triangulate(points, segments), points, centres)
mesh = tessaro.refine(points, segments, centres, min_angle=30, max_area=0.02)

fig, axes = plt.subplots(1, 2, figsize=(10, 2.8))
for ax, xy, triangles, title in [
        (axes[0], points, plain.triangles, f"as given: {len(plain.triangles)} triangles"),
        (axes[1], mesh.points, mesh.triangles,
         f"refine(min_angle=30, max_area=0.02): {len(mesh.triangles)} triangles")]:
    ax.triplot(xy[:, 0], xy[:, 1], triangles, color="firebrick", lw=0.6)
    ax.plot(*points.T, "o", color="darkgreen", ms=2)
    ax.set(aspect="equal", xticks=[], yticks=[], title=title)
fig.savefig(Path(__file__).with_name("refined_plate.png"), dpi=100, bbox_inches="tight")
