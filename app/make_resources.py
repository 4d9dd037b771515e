#!/usr/bin/env python3
"""Draws the runtime's hand cursor as a .cur file. (The program's leaf icon is forms/leaf.ico.)

Run once when the pictures change: python3 app/make_resources.py
"""
import struct
from pathlib import Path

HERE = Path(__file__).resolve().parent


def hand_pixel(x, y):
    """BGRA of the hand cursor: an index finger pointing up over a closed palm, outlined in black."""
    if not inside_hand(x, y):
        return (0, 0, 0, 0)
    outline = not all(
        inside_hand(x + ox, y + oy) for ox, oy in ((1, 0), (-1, 0), (0, 1), (0, -1))
    )
    return (0, 0, 0, 255) if outline else (255, 255, 255, 255)


def inside_hand(x, y):
    finger = 11 <= x <= 15 and 2 <= y <= 16
    fingertip = (x - 13) ** 2 + (y - 3) ** 2 <= 5
    palm = 8 <= x <= 23 and 13 <= y <= 26 and not (x >= 22 and y <= 14)
    knuckles = 16 <= x <= 23 and 11 <= y <= 14 and (x - 16) % 3 != 2
    wrist = 10 <= x <= 21 and 26 < y <= 29
    return finger or fingertip or palm or knuckles or wrist


def dib(size, pixel):
    """A 32-bit DIB as icon files store it: header (double height), bottom-up XOR, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    mask_row_bytes = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        row_mask = bytearray(mask_row_bytes)
        for x in range(size):
            b, g, r, a = pixel(x, y)
            xor += bytes((b, g, r, a))
            if a == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    return header + bytes(xor) + bytes(mask)


def write_directory(path, kind, images):
    """images: list of (size, dib bytes, hotspot x, hotspot y)."""
    out = bytearray(struct.pack("<HHH", 0, kind, len(images)))
    offset = 6 + 16 * len(images)
    for size, data, hx, hy in images:
        planes_or_x, bits_or_y = (1, 32) if kind == 1 else (hx, hy)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, planes_or_x, bits_or_y,
                           len(data), offset)
        offset += len(data)
    for _, data, _, _ in images:
        out += data
    path.write_bytes(bytes(out))


def main():
    write_directory(HERE / "hand.cur", 2, [(32, dib(32, hand_pixel), 13, 2)])


if __name__ == "__main__":
    main()
