#!/usr/bin/env python3
"""Writes vellumbox.ico: an open box with an arrow going into it.

Two images, 32x32 and 16x16, 4 bits a pixel with the standard 16-colour
palette and an AND mask for transparency. The output depends only on this
script, so rerunning it reproduces the committed file byte for byte.

Usage: python3 make_icon.py [output path]   (default: vellumbox.ico beside it)
"""
import os
import struct
import sys

# Standard VGA palette as (R, G, B), in palette-index order.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, DARK_GREEN, OLIVE, LIME, YELLOW = 0, 2, 3, 10, 11
TRANSPARENT = None


def colour_at(u, v):
    """Colour of the point (u, v) in a 16x16 design space, y pointing down."""
    # Arrow first, so that its head lies over the box's open top.
    if 0.5 <= v < 5.5 and 6.0 <= u < 10.0:
        return DARK_GREEN if u < 7.0 or u >= 9.0 or v < 1.5 else LIME
    if 5.5 <= v < 11.0:
        half = (11.0 - v) * 0.9
        if abs(u - 8.0) < half:
            return DARK_GREEN if abs(u - 8.0) >= half - 1.0 or v < 6.5 else LIME
    # Box with a black outline and a darker band across its front.
    if 1.5 <= u < 14.5 and 6.5 <= v < 15.5:
        if u < 2.5 or u >= 13.5 or v < 7.5 or v >= 14.5:
            return BLACK
        return OLIVE if 11.5 <= v < 12.5 else YELLOW
    return TRANSPARENT


def image(size):
    scale = size / 16.0
    rows = []
    for y in range(size):
        rows.append([colour_at((x + 0.5) / scale, (y + 0.5) / scale) for x in range(size)])
    return rows


def dib(size):
    pixels = image(size)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor_rows, and_rows = [], []
    for row in reversed(pixels):  # DIB rows run bottom-up
        xor = bytearray(xor_stride)
        mask = bytearray(and_stride)
        for x, c in enumerate(row):
            if c is TRANSPARENT:
                mask[x // 8] |= 0x80 >> (x % 8)
                c = 0
            xor[x // 2] |= c << (4 if x % 2 == 0 else 0)
        xor_rows.append(bytes(xor))
        and_rows.append(bytes(mask))
    bits = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(bits), 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bits


def icon_file():
    images = [(32, dib(32)), (16, dib(16))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "vellumbox.ico")
    with open(path, "wb") as f:
        f.write(icon_file())


if __name__ == "__main__":
    main()
