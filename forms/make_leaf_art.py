#!/usr/bin/env python3
"""Draws the program's leaf: the about box's 89x81 PNG background and the 32x32 icon.

Run from anywhere; writes about_background.png and leaf.ico next to this script. The output
is deterministic, so the committed files can be checked by running it again.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLES = 4  # per axis, for smooth edges


def leaf_colour(u, v):
    """Colour (r, g, b, a) at point (u, v) of the unit square, the leaf pointing up-right."""
    # Rotate so that the leaf's axis runs from the lower left to the upper right.
    x, y = u - 0.5, v - 0.5
    c, s = math.cos(math.radians(45)), math.sin(math.radians(45))
    a, b = x * c + y * s, y * c - x * s  # a along the axis, b across it
    # A lens: the intersection of two circles of radius r whose centres sit off the axis.
    r, off = 0.5, 0.3
    inside = (a * a + (b - off) ** 2 <= r * r) and (a * a + (b + off) ** 2 <= r * r)
    stem = -0.49 <= a <= -0.36 and abs(b) <= 0.025
    if stem:
        return (110, 80, 40, 255)
    if not inside:
        return None
    if abs(b) <= 0.018 and a < 0.36:
        return (40, 110, 40, 255)  # midrib
    for start in (-0.28, -0.14, 0.0, 0.14):  # side veins running towards the tip
        if abs(abs(b) - (a - start) * 0.6) <= 0.012 and a > start and abs(b) < 0.15:
            return (60, 135, 55, 255)
    shade = 0.75 + 0.25 * (a + 0.5)
    return (int(70 * shade), int(175 * shade), int(70 * shade), 255)


def render(width, height, margin):
    """Premultiplied supersampling into straight RGBA rows, top row first."""
    rows = []
    side = min(width, height) - 2 * margin
    left, top = (width - side) / 2, (height - side) / 2
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    u = (px + (sx + 0.5) / SAMPLES - left) / side
                    v = 1 - (py + (sy + 0.5) / SAMPLES - top) / side
                    colour = leaf_colour(u, v)
                    if colour:
                        alpha = colour[3] / 255
                        for i in range(3):
                            acc[i] += colour[i] * alpha
                        acc[3] += alpha
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if alpha == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(acc[i] / acc[3]) for i in range(3)) + (round(alpha * 255),))
        rows.append(row)
    return rows


def png(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico(rows):
    size = len(rows)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask = bytes(size * size // 8)  # alpha decides; the AND mask stays clear
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 22) + image


def main():
    with open(os.path.join(HERE, "about_background.png"), "wb") as f:
        f.write(png(render(89, 81, 4)))
    with open(os.path.join(HERE, "leaf.ico"), "wb") as f:
        f.write(ico(render(32, 32, 1)))


if __name__ == "__main__":
    main()
