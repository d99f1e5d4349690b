#!/usr/bin/env python3
"""Draws the dialogs' icons (32 bits) into icons/*.ico.

The state icons of pens and layers (13 x 13): IDI_LAYER0..4 mark a set state
bit (shown in set A, shown in set B, locked, not pickable, highlighted);
IDI_LAYER_0..4 are the same pictures in grey, the column heads of group rows.
The pen property dialog's icons (32 x 32): the fill modes IDI_FILLMOD0..4,
the line ends IDI_ENDCAP0..2 and the joins IDI_JOIN0..2; the options' drawing-window arrangements IDI_WINMODE0..7; the start screen's
IDI_TOUR, IDI_TUTORIAL and IDI_HELP. dialog_icons.rc
names them. Run by hand after changing a drawing.
"""
import math
import os
import struct

STATE_SIZE = 13
SIZE = 32
NONE = (0, 0, 0, 0)
INK = (0, 0, 0, 255)
FILL = (90, 140, 220, 255)
SCREEN = (160, 160, 160, 255)
THICK = (60, 60, 60, 255)
AXIS = (220, 40, 40, 255)




def ico(pixels, size):
    """pixels: function (x, y) -> (r, g, b, a) with y from the top."""
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        for x in range(size):
            r, g, b, a = pixels(x, y)
            rows.append(struct.pack("BBBB", b, g, r, a))
    xor = b"".join(rows)
    stride = ((size + 31) // 32) * 4
    mask = b"\0" * (stride * size)  # all opaque: alpha decides
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 22) + image




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


def window_frames(mode, l, t, r, b):
    # the drawing windows' frames of an arrangement, as the layout divides them
    mx, my = (l + r) // 2, (t + b) // 2
    x23, y23 = l + 2 * (r - l) // 3, t + 2 * (b - t) // 3
    x13, y13 = l + (r - l) // 3, t + (b - t) // 3
    x34, y34 = l + 3 * (r - l) // 4, t + 3 * (b - t) // 4
    table = {
        1: [(l, t, mx, b), (mx, t, r, b)],
        2: [(l, t, r, my), (l, my, r, b)],
        3: [(l, t, x23, b), (x23, t, r, my), (x23, my, r, b)],
        4: [(l, t, r, y23), (l, y23, mx, b), (mx, y23, r, b)],
        5: [(l, t, mx, my), (mx, t, r, my), (l, my, mx, b), (mx, my, r, b)],
        6: [(l, t, x34, b), (x34, t, r, y13), (x34, y13, r, y23), (x34, y23, r, b)],
        7: [(l, t, r, y34), (l, y34, x13, b), (x13, y34, x23, b), (x23, y34, r, b)],
    }
    return table.get(mode, [(l, t, r, b)])


def window_mode(mode):
    # the main window's work area divided into the arrangement's windows;
    # window 0 is tinted
    frames = window_frames(mode, 3, 5, 28, 27)
    white = (255, 255, 255, 255)

    def draw(x, y):
        if not (3 <= x <= 28 and 2 <= y <= 27):
            return NONE
        if y <= 4:
            return INK if y == 2 or x in (3, 28) else FILL
        for i, (l, t, r, b) in enumerate(frames):
            if l <= x <= r and t <= y <= b:
                if x in (l, r) or y in (t, b):
                    return INK
                return (210, 225, 250, 255) if i == 0 else white
        return INK
    return draw


def tour(x, y):
    # a flag on a pole: the guided tour
    if 6 <= x <= 7 and 3 <= y <= 29:
        return INK
    if 8 <= x <= 26 and 4 <= y <= 16 and (x - 8) <= 18 - abs(y - 10) * 1.5:
        return FILL
    if 3 <= x <= 12 and 28 <= y <= 29:
        return INK
    return NONE


def tutorial(x, y):
    # an open book: two pages and a spine
    if 15 <= x <= 16 and 7 <= y <= 27:
        return INK
    for left, right in ((3, 14), (17, 28)):
        if left <= x <= right and 7 <= y <= 26:
            if y in (7, 26) or x in (left, right):
                return INK
            if y % 4 == 1 and left + 2 <= x <= right - 2:
                return THICK
            return (255, 255, 255, 255)
    return NONE


def help_mark(x, y):
    # a question mark in a blue disc
    d = math.hypot(x - 15.5, y - 15.5)
    if d > 14:
        return NONE
    white = (255, 255, 255, 255)
    r = math.hypot(x - 15.5, y - 11.5)
    if 3.5 <= r <= 6.5 and not (y > 11.5 and x < 15.5):
        return white
    if 14 <= x <= 17 and 15 <= y <= 20:
        return white
    if 14 <= x <= 17 and 23 <= y <= 26:
        return white
    return FILL


def main():
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "icons")
    os.makedirs(here, exist_ok=True)
    pictures = []
    states = [eye((40, 110, 220)), eye((40, 170, 60)), lock, nopick, highlight]
    for i, draw in enumerate(states):
        pictures.append(("layer%d" % i, draw, STATE_SIZE))
        pictures.append(("layer_head%d" % i, grey(draw), STATE_SIZE))
    pictures += [("fillmode%d" % i, fill_mode(i), SIZE) for i in range(5)]
    pictures += [("endcap%d" % i, end_cap(i), SIZE) for i in range(3)]
    pictures += [("join%d" % i, join(i), SIZE) for i in range(3)]
    pictures += [("winmode%d" % i, window_mode(i), SIZE) for i in range(8)]
    pictures += [("tour", tour, SIZE), ("tutorial", tutorial, SIZE), ("help", help_mark, SIZE)]
    for name, draw, size in pictures:
        with open(os.path.join(here, name + ".ico"), "wb") as f:
            f.write(ico(draw, size))


if __name__ == "__main__":
    main()
