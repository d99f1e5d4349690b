#!/usr/bin/env python3
"""Draws the about box's pictures into icons/about.bmp and icons/credits.bmp.

about.bmp (IDB_ABOUT, 308 x 308): a sheet with a flange drawn on it, its bolt
holes on their pitch circle, the section hatched, centre lines and a
dimension. credits.bmp (IDB_CREDITS, 160 x 24): a dimension line with its
arrows, scrolled through the credits and laid onto the box's background
(its white drops out: it is drawn with SRCAND). Both 4-bit BMPs with the standard
16-colour palette. about_bitmaps.rc names them. Run by hand after changing a
drawing.
"""
import math
import os
import struct

# The 16 colours every display shows without dithering.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, DARK_BLUE, GREY, SILVER, RED, BLUE, WHITE = 0, 4, 8, 7, 9, 12, 15


def write_bmp(path, width, height, pixel):
    """pixel: function (x, y) -> palette index, y from the top."""
    stride = ((width * 4 + 31) // 32) * 4
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray(stride)
        for x in range(width):
            v = pixel(x, y) & 0xF
            row[x // 2] |= v << 4 if x % 2 == 0 else v
        rows.append(bytes(row))
    bits = b"".join(rows)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(bits), 2835, 2835, 16, 16)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + palette + bits)


def near_segment(px, py, ax, ay, bx, by, half):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    qx, qy = ax + t * dx - px, ay + t * dy - py
    return qx * qx + qy * qy <= half * half


def on_circle(px, py, cx, cy, r, half):
    return abs(math.hypot(px - cx, py - cy) - r) <= half


def dash_dot(s):
    """The centre-line pattern along a line: long dash, gap, dot, gap."""
    s %= 22
    return s < 12 or 15 <= s < 17


def arrow(px, py, tipx, tipy, dirx, diry, length=9, width=3.5):
    """A filled arrow head with its tip at (tip) pointing along (dir)."""
    ux, uy = px - tipx, py - tipy
    along = -(ux * dirx + uy * diry)
    across = abs(ux * -diry + uy * dirx)
    return 0 <= along <= length and across <= width * along / length


# The flange: outer circle, hub bore, four bolt holes on the pitch circle.
CX, CY = 150.0, 140.0
OUTER, BORE, PITCH, HOLE = 92.0, 30.0, 66.0, 9.0
HOLES = [(CX + PITCH * math.cos(a), CY + PITCH * math.sin(a)) for a in (math.pi / 4 + k * math.pi / 2 for k in range(4))]


def in_material(x, y):
    r = math.hypot(x - CX, y - CY)
    if r > OUTER or r < BORE:
        return False
    return all(math.hypot(x - hx, y - hy) > HOLE for hx, hy in HOLES)


def about(x, y):
    # The sheet's border and title block.
    if x < 4 or y < 4 or x > 303 or y > 303:
        return SILVER
    if near_segment(x, y, 6, 6, 301, 6, 0.6) or near_segment(x, y, 6, 301, 301, 301, 0.6) or \
            near_segment(x, y, 6, 6, 6, 301, 0.6) or near_segment(x, y, 301, 6, 301, 301, 0.6):
        return BLACK
    if near_segment(x, y, 180, 268, 301, 268, 0.6) or near_segment(x, y, 180, 268, 180, 301, 0.6) or \
            near_segment(x, y, 180, 284, 301, 284, 0.5):
        return BLACK
    if 186 <= x <= 292 and 273 <= y <= 279 and (x // 3) % 4 != 3:
        return DARK_BLUE  # the title, as a line of letters
    if 186 <= x <= 250 and 289 <= y <= 294 and (x // 2) % 5 != 4:
        return GREY
    # Outlines.
    for r in (OUTER, BORE):
        if on_circle(x, y, CX, CY, r, 1.1):
            return BLACK
    for hx, hy in HOLES:
        if on_circle(x, y, hx, hy, HOLE, 1.0):
            return BLACK
        if (near_segment(x, y, hx - 14, hy, hx + 14, hy, 0.5) or
                near_segment(x, y, hx, hy - 14, hx, hy + 14, 0.5)):
            return RED
    # Centre lines and the pitch circle, dash-dotted.
    if near_segment(x, y, CX - OUTER - 12, CY, CX + OUTER + 12, CY, 0.5) and dash_dot(x):
        return RED
    if near_segment(x, y, CX, CY - OUTER - 12, CX, CY + OUTER + 12, 0.5) and dash_dot(y):
        return RED
    if on_circle(x, y, CX, CY, PITCH, 0.5) and dash_dot(math.atan2(y - CY, x - CX) * PITCH):
        return RED
    # The section hatched at 45 degrees.
    if in_material(x, y) and (x + y) % 9 == 0:
        return BLUE
    # The diameter dimension above the flange, with its extension lines.
    top = CY - OUTER - 26
    if near_segment(x, y, CX - OUTER, top - 4, CX - OUTER, CY - 4, 0.5) or \
            near_segment(x, y, CX + OUTER, top - 4, CX + OUTER, CY - 4, 0.5):
        if y < CY - OUTER * 0.7:
            return BLACK
    if near_segment(x, y, CX - OUTER, top, CX + OUTER, top, 0.5):
        return BLACK
    if arrow(x, y, CX - OUTER, top, -1, 0) or arrow(x, y, CX + OUTER, top, 1, 0):
        return BLACK
    if CX - 14 <= x <= CX + 14 and top - 10 <= y <= top - 4 and (x // 2) % 4 != 3:
        return BLACK  # the value, as a line of figures
    return WHITE


def credits(x, y):
    mid = 12
    if near_segment(x, y, 4, 2, 4, 22, 0.5) or near_segment(x, y, 155, 2, 155, 22, 0.5):
        return BLACK
    if near_segment(x, y, 4, mid, 155, mid, 0.5):
        return BLACK
    if arrow(x, y, 4, mid, -1, 0) or arrow(x, y, 155, mid, 1, 0):
        return BLACK
    return WHITE


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = os.path.join(here, "icons")
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, "about.bmp"), 308, 308, about)
    write_bmp(os.path.join(out, "credits.bmp"), 160, 24, credits)


if __name__ == "__main__":
    main()
