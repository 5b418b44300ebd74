#!/usr/bin/env python3
"""The balance stretch written with numpy, as the baseline for raster_apply.sh.

    raster_numpy_balance.py HEADER.json IN.f32 OUT.f32 ROWS COLUMNS [separable|gather]

Reads raw native float32 rows, writes the stretched values the same way. "separable" (the
default) uses that the window is bilinear in the grid: per strip of rows it is a product of two
interpolation matrices with the 7 x 7 cell values, numpy's fastest form of the transform.
"gather" is the direct port: per pixel, the four cells' values are gathered and weighted.
"""
import json
import sys

import numpy as np

STRIP_ROWS = 512


def quad_windows(header, band):
    low = np.zeros((7, 7))
    high = np.zeros((7, 7))
    for region in header["regions"]:
        name = region["name"]
        if region["kind"] != 1 or not name.startswith("Mosaic Leveler "):
            continue
        i, j = (int(x) for x in name[20:].strip("[]").split(","))
        stats = region["stats"]
        m = stats["centre"][band]
        dl = m - stats["lower"][band]
        du = stats["upper"][band] - m
        g = (dl + du) * 0.5
        low[i + 1, j + 1] = m - dl if du < dl else m - g
        high[i + 1, j + 1] = m + g if du < dl else m + du
    return low, high


def extend(low, high, dst, near, far):
    low[dst] = 2 * low[near] - low[far]
    h = 2 * high[near] - high[far]
    high[dst] = h if h > low[dst] else low[near] + (high[near] - low[near]) * 0.5


def extrapolate(low, high):
    for p in range(1, 6):
        extend(low, high, (0, p), (1, p), (2, p))
        extend(low, high, (6, p), (5, p), (4, p))
        extend(low, high, (p, 0), (p, 1), (p, 2))
        extend(low, high, (p, 6), (p, 5), (p, 4))
    for dst, near, far in (((0, 0), (1, 1), (2, 2)), ((6, 0), (5, 1), (4, 2)),
                           ((0, 6), (1, 5), (2, 4)), ((6, 6), (5, 5), (4, 4))):
        extend(low, high, dst, near, far)


def axis_cells(extent):
    """Lower grid cell and the next cell's weight at the centre of each cell of an axis."""
    u = np.clip(5.0 / extent * (np.arange(extent) + 0.5) + 0.5, 0.0, 6.0)
    index = np.minimum(np.floor(u).astype(np.int64), 5)
    return index, u - index


def interpolation_matrix(extent):
    """Row k holds the weights of the 7 grid cells at the centre of cell k of an axis."""
    index, fraction = axis_cells(extent)
    weights = np.zeros((extent, 7))
    weights[np.arange(extent), index] = 1 - fraction
    weights[np.arange(extent), index + 1] += fraction
    return weights


def separable_windows(low, high, rows, columns):
    row_weights = interpolation_matrix(rows)
    column_weights = interpolation_matrix(columns)
    low_by_column = low @ column_weights.T
    high_by_column = high @ column_weights.T

    def windows(strip):
        local_low = row_weights[strip] @ low_by_column
        return local_low, row_weights[strip] @ high_by_column - local_low

    return windows


def gathered_windows(low, high, rows, columns):
    row_index, row_fraction = axis_cells(rows)
    column_index, column_fraction = axis_cells(columns)

    def windows(strip):
        iu, fu = row_index[strip, None], row_fraction[strip, None]
        iv, fv = column_index[None, :], column_fraction[None, :]
        weights = ((1 - fu) * (1 - fv), fu * (1 - fv), (1 - fu) * fv, fu * fv)
        cells = ((iu, iv), (iu + 1, iv), (iu, iv + 1), (iu + 1, iv + 1))
        local_low = sum(w * low[c] for w, c in zip(weights, cells))
        local_high = sum(w * high[c] for w, c in zip(weights, cells))
        return local_low, local_high - local_low

    return windows


def main():
    header_path, in_path, out_path, rows, columns = sys.argv[1:6]
    form = sys.argv[6] if len(sys.argv) > 6 else "separable"
    rows, columns = int(rows), int(columns)
    with open(header_path) as f:
        header = json.load(f)
    low, high = quad_windows(header, 0)
    extrapolate(low, high)
    make_windows = gathered_windows if form == "gather" else separable_windows
    windows = make_windows(low, high, rows, columns)
    values = np.fromfile(in_path, dtype=np.float32).reshape(rows, columns)
    with open(out_path, "wb") as out, np.errstate(divide="ignore", invalid="ignore"):
        for start in range(0, rows, STRIP_ROWS):
            strip = slice(start, min(rows, start + STRIP_ROWS))
            local_low, local_range = windows(strip)
            value = values[strip].astype(np.float64)
            result = np.where(local_range > 0, (value - local_low) * (192.0 / local_range), value)
            result.astype(np.float32).tofile(out)


if __name__ == "__main__":
    main()
