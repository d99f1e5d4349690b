#!/usr/bin/env python3
"""Draws the language module's icons (32 x 32, 32 bits) into icons/*.ico.

Run by hand after changing a drawing; the .ico files are kept in the tree.
"""
import math
import os
import struct

SIZE = 32


def ico(pixels):
    """pixels: function (x, y) -> (r, g, b, a) with y from the top."""
    rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        for x in range(SIZE):
            r, g, b, a = pixels(x, y)
            rows.append(struct.pack("BBBB", b, g, r, a))
    xor = b"".join(rows)
    mask = b"\0" * (SIZE * SIZE // 8)  # all opaque: alpha decides
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22) + image


def logo(x, y):
    # A drafting square: blue tile with a white set square and a red line.
    if x < 2 or y < 2 or x > 29 or y > 29:
        return (0, 0, 0, 0)
    if y >= 6 and x <= 25 and x >= 6 and (y - 6) >= (x - 6) and y <= 25:
        edge = (x == 6 or y == 25 or (y - 6) == (x - 6))
        return (255, 255, 255, 255) if edge else (40, 80, 170, 255)
    if abs((x - 26) - (y - 26) * 0) <= 0 and y < 26:
        return (200, 30, 30, 255)
    return (40, 80, 170, 255)


def alert(x, y):
    # A yellow disc with a black exclamation mark.
    d = math.hypot(x - 15.5, y - 15.5)
    if d > 14.5:
        return (0, 0, 0, 0)
    if d > 13.5:
        return (90, 70, 0, 255)
    if 14 <= x <= 17 and (6 <= y <= 19 or 22 <= y <= 25):
        return (0, 0, 0, 255)
    return (250, 210, 30, 255)


def keyboard(x, y):
    # A grey keyboard with three rows of light keys and a space bar.
    if not (3 <= x <= 28 and 9 <= y <= 24):
        return (0, 0, 0, 0)
    if x in (3, 28) or y in (9, 24):
        return (40, 40, 40, 255)
    if 11 <= y <= 20 and (y - 11) % 3 != 2 and 5 <= x <= 26 and (x - 5) % 3 != 2:
        return (245, 245, 245, 255)
    if y == 22 and 9 <= x <= 22:
        return (245, 245, 245, 255)
    return (130, 130, 130, 255)


here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "icons")
os.makedirs(here, exist_ok=True)
for name, draw in (("logo", logo), ("alert", alert), ("keyboard", keyboard)):
    with open(os.path.join(here, name + ".ico"), "wb") as f:
        f.write(ico(draw))
