#!/usr/bin/env python3
"""Draws the program icon: one 64 by 64 image of 256 colours, a white Q on a blue rounded square.

Usage: make_icon.py OUTPUT.ico
"""
import math
import struct
import sys

SIZE = 64
TRANSPARENT, BLUE, WHITE, EDGE = 0, 1, 2, 3
PALETTE = {BLUE: (0x1E, 0x5A, 0xC8), WHITE: (0xFF, 0xFF, 0xFF), EDGE: (0x10, 0x30, 0x80)}


def pixel(x, y):
    cx = cy = (SIZE - 1) / 2
    # Rounded square with corner radius 12.
    r = 12
    dx = max(abs(x - cx) - (SIZE / 2 - r), 0)
    dy = max(abs(y - cy) - (SIZE / 2 - r), 0)
    corner = math.hypot(dx, dy)
    if corner > r:
        return TRANSPARENT
    if corner > r - 2 or abs(x - cx) > SIZE / 2 - 2 or abs(y - cy) > SIZE / 2 - 2:
        return EDGE
    # The Q: a ring, and a tail toward the lower right.
    d = math.hypot(x - cx, y - (cy - 2))
    if 13 <= d <= 20:
        return WHITE
    if 36 <= x <= 50 and abs((y - 36) - (x - 36)) <= 3 and y <= 50:
        return WHITE
    return BLUE


def icon_bytes():
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    palette = b"".join(
        struct.pack("<BBBB", *reversed(PALETTE.get(i, (0, 0, 0))), 0) for i in range(256))
    # Bitmaps are stored bottom-up; every row is a multiple of 4 bytes already.
    xor = b"".join(bytes(rows[y]) for y in reversed(range(SIZE)))
    mask_rows = []
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (rows[y][x] == TRANSPARENT)
        mask_rows.append(bits.to_bytes(SIZE // 8, "big"))
    mask = b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, len(xor) + len(mask), 0, 0, 256, 0)
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(icon_bytes())
