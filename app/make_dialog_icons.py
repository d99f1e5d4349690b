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


class Canvas:
    """A picture drawn with strokes and fills, read back as a pixel function."""

    def __init__(self, size):
        self.size = size
        self.pixels = {}

    def set(self, x, y, colour=INK):
        x, y = int(round(x)), int(round(y))
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[(x, y)] = colour

    def line(self, x1, y1, x2, y2, colour=INK, w=1):
        steps = int(max(abs(x2 - x1), abs(y2 - y1)) * 2) + 1
        for i in range(steps + 1):
            t = i / steps
            x, y = x1 + (x2 - x1) * t, y1 + (y2 - y1) * t
            for dy in range(w):
                for dx in range(w):
                    self.set(x + dx - w // 2, y + dy - w // 2, colour)

    def poly(self, points, colour=INK, closed=True, w=1):
        for a, b in zip(points, points[1:] + (points[:1] if closed else [])):
            self.line(a[0], a[1], b[0], b[1], colour, w)

    def fill_poly(self, points, colour=INK):
        for y in range(self.size):
            for x in range(self.size):
                if inside(points, x, y):
                    self.set(x, y, colour)
        self.poly(points, colour)

    def ellipse(self, cx, cy, rx, ry, colour=INK, filled=False, a1=0.0, a2=2 * math.pi):
        if filled:
            for y in range(self.size):
                for x in range(self.size):
                    if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0:
                        self.set(x, y, colour)
        steps = 64
        pts = [(cx + rx * math.cos(a1 + (a2 - a1) * i / steps), cy - ry * math.sin(a1 + (a2 - a1) * i / steps))
               for i in range(steps + 1)]
        self.poly(pts, colour, False)

    def rect(self, x1, y1, x2, y2, colour=INK, filled=False):
        if filled:
            for y in range(int(y1), int(y2) + 1):
                for x in range(int(x1), int(x2) + 1):
                    self.set(x, y, colour)
        self.poly([(x1, y1), (x2, y1), (x2, y2), (x1, y2)], colour)

    def pixel(self, x, y):
        return self.pixels.get((x, y), NONE)


def inside(points, x, y):
    """Even-odd test of the pixel centre against a polygon."""
    result = False
    n = len(points)
    for i in range(n):
        (x1, y1), (x2, y2) = points[i], points[(i + 1) % n]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            result = not result
    return result


def canvas(draw, size=SIZE):
    c = Canvas(size)
    draw(c)
    return c.pixel


def line_end(c, kind, x, y, angle):
    """The line-end mark kind at (x, y) for a line coming in at angle: none,
    filled arrow, outlined arrow, open arrow, stroke, filled dot, circle."""
    back = lambda a, r: (x - r * math.cos(angle + a), y - r * math.sin(angle + a))
    if kind in (1, 2):
        tri = [(x, y), back(0.4, 9), back(-0.4, 9)]
        (c.fill_poly if kind == 1 else c.poly)(tri)
    elif kind == 3:
        c.poly([back(0.5, 8), (x, y), back(-0.5, 8)], INK, False)
    elif kind == 4:
        c.line(x - 4 * math.cos(angle + 0.8), y - 4 * math.sin(angle + 0.8), x + 4 * math.cos(angle + 0.8),
               y + 4 * math.sin(angle + 0.8), INK, 2)
    elif kind == 5:
        c.ellipse(x, y, 3, 3, INK, True)
    elif kind == 6:
        c.ellipse(x, y, 3.5, 3.5)


def arrow_form(kind):
    # a dimension line ending at the right in line-end form kind
    def draw(c):
        c.line(3, 16, 27, 16)
        c.line(28, 8, 28, 24, THICK)
        line_end(c, kind, 27, 16, 0.0)
    return draw


def leader(kind):
    # a reference text's leader from its frame to the point, with leader form kind
    def draw(c):
        c.rect(2, 3, 16, 11, THICK)
        if kind == 7:
            c.poly([(16, 7), (20, 7), (28, 27)], INK, False)
        else:
            c.line(16, 11, 27, 27)
        line_end(c, kind % 7, 27, 27, math.atan2(16, 11) if kind != 7 else math.atan2(20, 8))
    return draw


def text_frame(kind):
    # the frame shapes of a reference text: rectangle, rhombus, circle, ellipse
    def draw(c):
        if kind == 0:
            c.rect(3, 9, 28, 22)
        elif kind == 1:
            c.poly([(15.5, 4), (29, 15.5), (15.5, 27), (2, 15.5)])
        elif kind == 2:
            c.ellipse(15.5, 15.5, 12, 12)
        else:
            c.ellipse(15.5, 15.5, 14, 9)
        c.line(10, 15, 21, 15, FILL, 2)
    return draw


def text_mode(kind):
    # text alignment: left, centre, right, both edges
    widths = [22, 16, 25, 12, 20]
    def draw(c):
        for i, w in enumerate(widths):
            y = 5 + 5 * i
            if kind == 3 and i < len(widths) - 1:
                w = 25
            x1 = {0: 3, 1: 15.5 - w / 2, 2: 28 - w, 3: 3}[kind]
            c.line(x1, y, x1 + w, y, INK, 2)
    return draw


def dimension_line(kind):
    # the dimension line: through, broken for the text, only outside
    def draw(c):
        c.line(3, 6, 3, 26, THICK); c.line(28, 6, 28, 26, THICK)
        c.rect(11, 9, 20, 13, FILL, True)
        if kind == 0:
            c.line(4, 18, 27, 18); line_end(c, 1, 4, 18, math.pi); line_end(c, 1, 27, 18, 0.0)
        elif kind == 1:
            c.line(4, 18, 11, 18); c.line(20, 18, 27, 18); line_end(c, 1, 4, 18, math.pi); line_end(c, 1, 27, 18, 0.0)
        else:
            c.line(0, 18, 3, 18); c.line(28, 18, 31, 18); line_end(c, 1, 3, 18, 0.0); line_end(c, 1, 28, 18, math.pi)
    return draw


def text_orientation(kind):
    # the dimension text: horizontal, along the line, upright, across
    def draw(c):
        c.line(4, 27, 27, 6)
        a = [0.0, -math.atan2(21, 23), 0.0, math.pi / 2][kind]
        cx, cy = 12, 12
        if kind == 2:
            cx, cy = 22, 22
        dx, dy = 7 * math.cos(a), 7 * math.sin(a)
        c.line(cx - dx, cy - dy, cx + dx, cy + dy, FILL, 3)
    return draw


def distance_mode(kind):
    # what a distance dimension measures of a slanted distance: across, up, along
    def draw(c):
        c.line(6, 24, 25, 9, THICK)
        c.ellipse(6, 24, 1.5, 1.5, THICK, True); c.ellipse(25, 9, 1.5, 1.5, THICK, True)
        if kind == 0:
            c.line(6, 29, 25, 29); line_end(c, 1, 6, 29, math.pi); line_end(c, 1, 25, 29, 0.0)
        elif kind == 1:
            c.line(30, 24, 30, 9); line_end(c, 1, 30, 24, math.pi / 2); line_end(c, 1, 30, 9, -math.pi / 2)
        else:
            c.line(3, 20, 22, 5); a = math.atan2(-15, 19)
            line_end(c, 1, 22, 5, a); line_end(c, 1, 3, 20, a + math.pi)
    return draw


def dimension_text(kind):
    # where the dimension text stands: above the line, in the line, beside it
    def draw(c):
        y = 20
        if kind == 1:
            c.line(3, y, 10, y); c.line(21, y, 28, y); c.rect(11, y - 3, 20, y + 2, FILL, True)
        else:
            c.line(3, y, 28, y)
            if kind == 0:
                c.rect(11, y - 9, 20, y - 4, FILL, True)
            else:
                c.rect(22, y - 9, 30, y - 4, FILL, True)
        line_end(c, 1, 3, y, math.pi); line_end(c, 1, 28, y, 0.0)
    return draw


def number_mode(kind):
    # the coordinate texts: x only, y only, both
    def draw(c):
        c.line(4, 28, 4, 3); c.line(4, 28, 29, 28)
        c.ellipse(20, 12, 2, 2, INK, True)
        if kind in (0, 2):
            c.line(20, 12, 20, 28, THICK); c.rect(16, 22, 24, 26, FILL, True)
        if kind in (1, 2):
            c.line(4, 12, 20, 12, THICK); c.rect(6, 6, 14, 10, FILL, True)
    return draw


def extension_line(kind):
    # extension lines from the object, or of a fixed length
    def draw(c):
        c.line(3, 28, 28, 28, THICK, 2)
        top, bottom = 6, (27 if kind == 0 else 16)
        for x in (6, 25):
            c.line(x, top, x, bottom)
        c.line(6, 10, 25, 10); line_end(c, 1, 6, 10, math.pi); line_end(c, 1, 25, 10, 0.0)
    return draw


def page_mode(kind):
    # the page's orientation: free, upright, across
    def draw(c):
        if kind == 0:
            c.rect(6, 6, 25, 25)
            for x in range(6, 26, 4):
                c.set(x, 15, THICK)
        elif kind == 1:
            c.fill_poly([(9, 3), (20, 3), (23, 6), (23, 28), (9, 28)], (255, 255, 255, 255))
            c.poly([(9, 3), (20, 3), (23, 6), (23, 28), (9, 28)])
        else:
            c.fill_poly([(3, 9), (25, 9), (28, 12), (28, 23), (3, 23)], (255, 255, 255, 255))
            c.poly([(3, 9), (25, 9), (28, 12), (28, 23), (3, 23)])
    return draw


def grid_mode(kind):
    # the grid kinds: off, points, crosses, lines, dotted lines
    def draw(c):
        c.rect(2, 2, 29, 29, THICK)
        for i in (8, 15, 22):
            for j in (8, 15, 22):
                if kind == 1:
                    c.rect(i, j, i + 1, j + 1, INK, True)
                elif kind == 2:
                    c.line(i - 2, j, i + 2, j); c.line(i, j - 2, i, j + 2)
            if kind == 3:
                c.line(3, i, 28, i); c.line(i, 3, i, 28)
            elif kind == 4:
                for k in range(3, 29, 3):
                    c.set(k, i); c.set(i, k)
    return draw


def comment_flag(kind):
    # the flag of a comment on the drawing: note, warning, question
    colours = [(250, 220, 60, 255), (230, 60, 40, 255), (60, 140, 230, 255)]
    def draw(c):
        c.line(5, 3, 5, 29, INK, 2)
        c.fill_poly([(6, 4), (27, 8), (6, 16)], colours[kind])
        c.poly([(6, 4), (27, 8), (6, 16)])
    return draw


def current_fill(c):
    # the current pen's fill: a pen over a filled square
    c.rect(4, 10, 22, 28, FILL, True); c.rect(4, 10, 22, 28)
    c.poly([(18, 20), (28, 4), (31, 6), (21, 22)], INK)


def origin(c):
    # the origin of the coordinate system: two axes with a ring
    c.line(2, 15, 29, 15, AXIS); c.line(15, 2, 15, 29, AXIS)
    c.ellipse(15, 15, 5, 5, INK)


def window_picture(kind, size=16):
    """The small pictures of the tool windows: pen table, layer table, view
    window, panel, status bar, toolbox, property bar, symbol window, guide."""
    def draw(c):
        m = size - 1
        white = (255, 255, 255, 255)
        if kind == "pen":
            c.poly([(2, m - 1), (3, m - 5), (m - 4, 2), (m - 1, 5), (5, m - 2)], INK)
            c.line(3, m - 5, 5, m - 2, FILL)
        elif kind == "layer":
            for d in (0, 4, 8):
                c.poly([(m // 2, 1 + d), (m - 1, 4 + d), (m // 2, 7 + d), (1, 4 + d)], INK if d else FILL)
        elif kind == "block":
            c.rect(1, 5, 10, m - 1, INK); c.poly([(1, 5), (5, 1), (m - 1, 1), (10, 5)], INK, False)
            c.line(m - 1, 1, m - 1, 10); c.line(m - 1, 10, 10, m - 1)
        else:
            c.rect(0, 1, m, m - 1, white, True); c.rect(0, 1, m, m - 1, INK); c.line(1, 2, m - 1, 2, FILL)
            c.line(1, 3, m - 1, 3, FILL)
            if kind == "view":
                c.rect(3, 6, 9, 10, THICK); c.rect(5, 8, m - 3, m - 3, INK)
            elif kind == "panel":
                c.rect(1, 4, 4, m - 2, THICK, True)
            elif kind == "status":
                c.rect(1, m - 4, m - 1, m - 2, THICK, True)
            elif kind == "toolbox":
                for x in (3, 7, 11):
                    for y in (6, 10):
                        c.rect(x, y, x + 2, y + 2, INK, True)
            elif kind == "prop":
                c.rect(1, 4, m - 1, 6, THICK, True)
            elif kind == "guide":
                for y in (6, 9, 12):
                    c.set(3, y); c.line(5, y, m - 3, y, THICK)
    return draw


WINDOW_PICTURES = ["pen", "layer", "view", "panel", "status", "toolbox", "prop", "block", "guide"]
WINDOW_NAMES = ["PEN", "LAYER", "VIEW", "PANEL", "STATUS", "TOOLBOX", "PROP", "BLOCK", "GUIDE"]
MARGIN_SIZE = 16


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
    pictures += [("arrow%d" % i, canvas(arrow_form(i)), SIZE) for i in range(7)]
    pictures += [("rfarrow%d" % i, canvas(leader(i)), SIZE) for i in range(8)]
    pictures += [("rfframe%d" % i, canvas(text_frame(i)), SIZE) for i in range(4)]
    pictures += [("textmod%d" % i, canvas(text_mode(i)), SIZE) for i in range(4)]
    pictures += [("dimline%d" % i, canvas(dimension_line(i)), SIZE) for i in range(3)]
    pictures += [("orient%d" % i, canvas(text_orientation(i)), SIZE) for i in range(4)]
    pictures += [("distmod%d" % i, canvas(distance_mode(i)), SIZE) for i in range(3)]
    pictures += [("dimtext%d" % i, canvas(dimension_text(i)), SIZE) for i in range(3)]
    pictures += [("number%d" % i, canvas(number_mode(i)), SIZE) for i in range(3)]
    pictures += [("extline%d" % i, canvas(extension_line(i)), SIZE) for i in range(2)]
    pictures += [("pagemod%d" % i, canvas(page_mode(i)), SIZE) for i in range(3)]
    pictures += [("gridmod%d" % i, canvas(grid_mode(i)), SIZE) for i in range(5)]
    pictures += [("comflag%d" % i, canvas(comment_flag(i)), SIZE) for i in range(3)]
    pictures += [("current", canvas(current_fill), SIZE), ("origin", canvas(origin), SIZE)]
    for kind, name in zip(WINDOW_PICTURES, WINDOW_NAMES):
        pictures.append(("w" + name.lower(), canvas(window_picture(kind, MARGIN_SIZE), MARGIN_SIZE), MARGIN_SIZE))
    for name, draw, size in pictures:
        with open(os.path.join(here, name + ".ico"), "wb") as f:
            f.write(ico(draw, size))


if __name__ == "__main__":
    main()
