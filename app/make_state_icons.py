#!/usr/bin/env python3
"""Draws the state icons of pens and layers (13 x 13, 32 bits) into icons/*.ico.

IDI_LAYER0..4 mark a set state bit (shown in set A, shown in set B, locked,
not pickable, highlighted); IDI_LAYER_0..4 are the same pictures in grey, the
column heads of group rows. Run by hand after changing a drawing.
"""
import math
import os
import struct

SIZE = 13


def ico(pixels):
    rows = []
    for y in range(SIZE - 1, -1, -1):
        for x in range(SIZE):
            r, g, b, a = pixels(x, y)
            rows.append(struct.pack("BBBB", b, g, r, a))
    xor = b"".join(rows)
    stride = ((SIZE + 31) // 32) * 4
    mask = b"\0" * (stride * SIZE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22) + image


NONE = (0, 0, 0, 0)


def eye(colour):
    def draw(x, y):
        dx, dy = x - 6, y - 6
        if (dx / 6.0) ** 2 + (dy / 3.5) ** 2 <= 1.0:
            if dx * dx + dy * dy <= 4:
                return (0, 0, 0, 255)
            return colour + (255,)
        return NONE
    return draw


def lock(x, y):
    if 2 <= x <= 10 and 6 <= y <= 12:
        return (200, 150, 0, 255)
    if 6 > y >= 1 and (x in (3, 4, 8, 9)) and not (y == 1 and x in (3, 9)):
        return (90, 90, 90, 255)
    if y == 1 and 4 <= x <= 8:
        return (90, 90, 90, 255)
    return NONE


def nopick(x, y):
    if abs(x - y) <= 1 or abs(x + y - 12) <= 1:
        return (200, 0, 0, 255)
    return NONE


def highlight(x, y):
    d = math.hypot(x - 6, y - 6)
    if d <= 3:
        return (255, 220, 0, 255)
    if d <= 6 and (x == 6 or y == 6 or abs(x - y) == 0 or x + y == 12):
        return (230, 160, 0, 255)
    return NONE


def grey(draw):
    def g(x, y):
        r, gg, b, a = draw(x, y)
        v = (r * 3 + gg * 6 + b) // 10
        v = 80 + v // 2
        return (v, v, v, a)
    return g


def main():
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "icons")
    os.makedirs(here, exist_ok=True)
    pictures = [eye((40, 110, 220)), eye((40, 170, 60)), lock, nopick, highlight]
    for i, draw in enumerate(pictures):
        with open(os.path.join(here, "layer%d.ico" % i), "wb") as f:
            f.write(ico(draw))
        with open(os.path.join(here, "layer_head%d.ico" % i), "wb") as f:
            f.write(ico(grey(draw)))


if __name__ == "__main__":
    main()
