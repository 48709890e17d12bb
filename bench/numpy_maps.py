#!/usr/bin/python3
"""The two grey maps of f(z) as a user would write them with NumPy and PIL.

The same maps as `complex-plot-render --function EXPR --size N`: pixel
centres, the automatic range -M..M (M the 98th percentile, nearest rank, of
|Re f| and |Im f| over the points with a value), floor(255 (v - lo)/(hi - lo))
clamped, points without a value in green, both PNGs. It is the yardstick for
the renderer's speed; it needs Debian's python3-numpy and python3-pil.

    bench/numpy_maps.py 'exp(1/z)' 2048 OUTDIR
"""

import sys

import numpy as np
from PIL import Image

FUNCTIONS = {
    "sin(z)": lambda z: np.sin(z),
    "log(z)": lambda z: np.log(z),
    "exp(1/z)": lambda z: np.exp(1 / z),
    "(z^2+1)/(z^2-1)": lambda z: (z * z + 1) / (z * z - 1),
    "z^5-1": lambda z: z * z * z * z * z - 1,
    "atan(z)": lambda z: np.arctan(z),
    "sqrt(z)*cos(z)": lambda z: np.sqrt(z) * np.cos(z),
}


def main():
    expression, size, folder = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    x0, x1, y0, y1 = -2.0, 2.0, -2.0, 2.0
    x = x0 + (np.arange(size) + 0.5) * (x1 - x0) / size
    y = y1 - (np.arange(size) + 0.5) * (y1 - y0) / size
    z = x[np.newaxis, :] + 1j * y[:, np.newaxis]
    with np.errstate(all="ignore"):
        values = FUNCTIONS[expression](z)
    finite = np.isfinite(values)
    sizes = np.concatenate((np.abs(values.real[finite]), np.abs(values.imag[finite])))
    top = np.percentile(sizes, 98, method="inverted_cdf") if sizes.size else 0.0
    low, high = (-top, top) if top > 0 else (-1.0, 1.0)
    for part, name in ((values.real, "re"), (values.imag, "im")):
        with np.errstate(all="ignore"):
            grey = np.clip(np.floor(255 * ((part - low) / (high - low))), 0, 255)
        grey = np.where(finite, grey, 0).astype(np.uint8)
        if finite.all():
            image = Image.fromarray(grey, "L")
        else:
            rgb = np.repeat(grey[:, :, np.newaxis], 3, axis=2)
            rgb[~finite] = (0, 160, 0)
            image = Image.fromarray(rgb, "RGB")
        image.save("%s/numpy-%s.png" % (folder, name))


if __name__ == "__main__":
    main()
