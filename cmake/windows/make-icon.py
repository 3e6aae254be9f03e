#!/usr/bin/env python3
"""Draws the programs' icon, quorvel.ico: three rising bars on a dark rounded square,
at 16x16 and 32x32, 32-bit colour with alpha. Run it again after changing the design:
python3 cmake/windows/make-icon.py cmake/windows/quorvel.ico"""

import struct
import sys

BACKGROUND = (0x2B, 0x30, 0x3A)  # red, green, blue
BARS = [(0x4F, 0xC3, 0xA1), (0xF2, 0xC1, 0x4E), (0xE8, 0x5D, 0x4A)]


def pixel(x, y, size):
    """The colour at (x, y), y counted from the top, or None outside the rounded square."""
    unit = size / 16.0
    corner = 3 * unit
    cx = min(max(x + 0.5, corner), size - corner)
    cy = min(max(y + 0.5, corner), size - corner)
    if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 > corner**2:
        return None
    for index, colour in enumerate(BARS):
        left = (3 + 4 * index) * unit
        top = (9 - 3 * index) * unit
        if left <= x < left + 3 * unit and top <= y < 13 * unit:
            return colour
    return BACKGROUND


def image(size):
    """One icon image: a BITMAPINFOHEADER, BGRA rows bottom-up, then the 1-bit mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colours = bytearray()
    mask_row_bytes = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        bits = bytearray(mask_row_bytes)
        for x in range(size):
            colour = pixel(x, y, size)
            if colour is None:
                colours += bytes((0, 0, 0, 0))
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                red, green, blue = colour
                colours += bytes((blue, green, red, 0xFF))
        mask += bits
    return header + bytes(colours) + bytes(mask)


def icon(sizes):
    images = [image(size) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, data in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(images)


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(icon([16, 32]))
