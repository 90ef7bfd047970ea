"""Draws docs/python/voronoi.png: a small triangulation over its Voronoi cells.

    PYTHONPATH=build/python /usr/bin/python3 docs/python/voronoi_plot.py
"""
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np

import tessaro

points = np.random.default_rng(3).uniform(0, 10, (40, 2))
tri = tessaro.triangulate(points)
voronoi = tessaro.Voronoi(tri, points, (0, 0, 10, 10))

fig, ax = plt.subplots(figsize=(5, 5))
for i in range(len(points)):
    ax.fill(*voronoi.cell(i).T, facecolor=plt.cm.Pastel2(i % 8), edgecolor="white", lw=1.5)
ax.triplot(points[:, 0], points[:, 1], tri.triangles, color="firebrick", lw=0.8)
ax.plot(*points.T, "o", color="darkgreen", ms=4)
ax.set(xlim=(0, 10), ylim=(0, 10), aspect="equal", xticks=[], yticks=[])
fig.savefig(Path(__file__).with_name("voronoi.png"), dpi=100, bbox_inches="tight")
