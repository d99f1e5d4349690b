#!/usr/bin/env python3
"""Draws the icons of the pen property dialog (32 x 32, 32 bits) into icons/*.ico:
the fill modes IDI_FILLMOD0..4, the line ends IDI_ENDCAP0..2 and the joins
IDI_JOIN0..2. Run by hand after changing a drawing.
"""
import math
import os
import struct

SIZE = 32
NONE = (0, 0, 0, 0)
INK = (0, 0, 0, 255)
FILL = (90, 140, 220, 255)
SCREEN = (160, 160, 160, 255)
THICK = (60, 60, 60, 255)
AXIS = (220, 40, 40, 255)


def ico(pixels):
    rows = []
    for y in range(SIZE - 1, -1, -1):
        for x in range(SIZE):
            r, g, b, a = pixels(x, y)
            rows.append(struct.pack("BBBB", b, g, r, a))
    xor = b"".join(rows)
    mask = b"\0" * (SIZE * SIZE // 8)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22) + image


def fill_mode(mode):
    # 0 outline only, 1 fill only, 2 outline and fill, 3 screen fill, 4 outline and screen fill
    def draw(x, y):
        inside = 6 <= x <= 25 and 6 <= y <= 25
        edge = inside and (x in (6, 7, 24, 25) or y in (6, 7, 24, 25))
        if edge and mode in (0, 2, 4):
            return INK
        if inside and mode in (1, 2):
            return FILL
        if inside and mode in (3, 4):
            return SCREEN
        return NONE
    return draw


def end_cap(kind):
    # a thick horizontal stroke ending at x = 20: round, square (beyond), flat
    def draw(x, y):
        if x == 20 and 4 <= y <= 27:
            return AXIS
        if 10 <= y <= 21:
            if x <= 20:
                return THICK if x >= 2 else NONE
            if kind == 1 and x <= 26:
                return THICK
            if kind == 0 and math.hypot(x - 20, y - 15.5) <= 6:
                return THICK
        return NONE
    return draw


def join(kind):
    # two thick strokes meeting at a right angle: round, bevel, mitre
    def draw(x, y):
        horizontal = 16 <= y <= 25 and 2 <= x <= 25
        vertical = 2 <= y <= 25 and 16 <= x <= 25
        if horizontal or vertical:
            if x > 20 and y > 20:
                if kind == 0 and math.hypot(x - 20, y - 20) > 5.5:
                    return NONE
                if kind == 1 and (x - 20) + (y - 20) > 5:
                    return NONE
            return THICK
        return NONE
    return draw


def main():
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "icons")
    os.makedirs(here, exist_ok=True)
    pictures = [("fillmode%d" % i, fill_mode(i)) for i in range(5)]
    pictures += [("endcap%d" % i, end_cap(i)) for i in range(3)]
    pictures += [("join%d" % i, join(i)) for i in range(3)]
    for name, draw in pictures:
        with open(os.path.join(here, name + ".ico"), "wb") as f:
            f.write(ico(draw))


if __name__ == "__main__":
    main()
