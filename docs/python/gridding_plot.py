"""Draws docs/python/gridding.png: scattered measurements gridded by tessaro,
linear beside natural neighbour, with the sites they came from.

    PYTHONPATH=build/python /usr/bin/python3 docs/python/gridding_plot.py
"""
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np

import tessaro

# A survey: 150 measured heights of a hill beside a valley, at scattered sites.
rng = np.random.default_rng(7)
sites = rng.uniform(0, 10, (150, 2))


def height(x, y):
    return 3 * np.exp(-((x - 6.5) ** 2 + (y - 6) ** 2) / 6) - 1.5 * np.exp(-((x - 2.5) ** 2) / 3) \
        + 0.15 * y


values = height(sites[:, 0], sites[:, 1])
gx, gy = np.meshgrid(np.linspace(0, 10, 400), np.linspace(0, 10, 400))

fig, axes = plt.subplots(1, 2, figsize=(10, 4.6), constrained_layout=True)
levels = np.linspace(values.min(), values.max(), 16)
for ax, method in zip(axes, ["linear", "natural"]):
    surface = tessaro.griddata(sites, values, (gx, gy), method=method)
    filled = ax.contourf(gx, gy, surface, levels=levels, cmap="terrain")
    ax.contour(gx, gy, surface, levels=levels, colors="k", linewidths=0.4)
    ax.plot(*sites.T, "o", ms=2.5, color="black")
    ax.set(title=f'tessaro.griddata(..., method="{method}")', aspect="equal", xticks=[],
           yticks=[], xlim=(0, 10), ylim=(0, 10))
fig.colorbar(filled, ax=axes, shrink=0.8, label="height")
fig.savefig(Path(__file__).with_name("gridding.png"), dpi=90)
