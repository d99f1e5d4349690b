#!/usr/bin/env python3
"""Draws the command-icon file darad4.bld: the 40 x 40 icon of every command
cell, the 24 x 24 icons of the menus and the 16 x 16 corner mark of flyout
buttons, as one-bit pictures in the file layout the program reads.

Usage: make_command_icons.py <language tables folder> <output file>

A command whose title names a shape or an action that has a pictogram here
gets that pictogram; any other command shows the first letters of its title.
The build runs this script; the pictures are the program's own.
"""
import math
import os
import re
import sys

ICON = 40
PICTURES = 60
ROW_BYTES = 60
ROWS = 48
CELLS = 600

# Cell of a command: id - offset within each row (the program's own table).
CELL_ROWS = [(100, 126, 90), (127, 233, 160), (234, 389, 220), (390, 453, 230), (454, 590, 270),
             (591, 653, 270), (654, 751, 310), (752, 843, 350), (844, 915, 400), (916, 1043, 480),
             (1044, 1106, 530), (1107, 1209, 620)]
MENU_TABLES = [(100, "eMenu01Commands"), (200, "eMenu02Commands"), (300, "eMenu03Commands"),
               (400, "eMenu04Commands"), (500, "eMenu05Commands"), (600, "eMenu06Commands"),
               (700, "eMenu07Commands"), (800, "eMenu08Commands"), (900, "eMenu09Commands"),
               (1000, "eMenu10Commands"), (1100, "eMenu11Commands")]
# The cells of the internal command ranges (insert slot, edit slot, recent
# file, coordinate system, layer, pen, plug-in, user tables).
FIXED_CELLS = {590: "block", 591: "edit", 592: "open", 593: "axes", 594: "layer", 595: "pen",
               596: "plug", 597: "import", 598: "export"}

FONT = {  # 5 x 7, one string of five characters a row
    "A": ".###.#...##...#######...##...##...#", "B": "####.#...#####.#...##...##...#####.",
    "C": ".###.#...##....#....#....#...#.###.", "D": "####.#...##...##...##...##...#####.",
    "E": "######....####.#....#....#....#####", "F": "######....####.#....#....#....#....",
    "G": ".###.#...##....#.####...##...#.####", "H": "#...##...#######...##...##...##...#",
    "I": ".###...#....#....#....#....#...###.", "J": "..###...#....#....#....#.#..#..##..",
    "K": "#...##..#.#.#..##...#.#..#..#.#...#", "L": "#....#....#....#....#....#....#####",
    "M": "#...###.###.#.##...##...##...##...#", "N": "#...###..##.#.##..###...##...##...#",
    "O": ".###.#...##...##...##...##...#.###.", "P": "####.#...##...#####.#....#....#....",
    "Q": ".###.#...##...##...##.#.##..#..##.#", "R": "####.#...##...#####.#.#..#..#.#...#",
    "S": ".#####....#.....###.....#....#####.", "T": "#####..#....#....#....#....#....#..",
    "U": "#...##...##...##...##...##...#.###.", "V": "#...##...##...##...##...#.#.#...#..",
    "W": "#...##...##...##.#.##.#.##.#.#.#.#.", "X": "#...##...#.#.#...#...#.#.#...##...#",
    "Y": "#...##...#.#.#...#....#....#....#..", "Z": "#####....#...#...#...#...#....#####",
    "0": ".###.#...##..###.#.###..##...#.###.", "1": "..#...##....#....#....#....#...###.",
    "2": ".###.#...#....#...#...#...#...#####", "3": "#####...#...#.....#.....##...#.###.",
    "4": "...#...##..#.#.#..#.#####...#....#.", "5": "######....####.....#....##...#.###.",
    "6": "..##..#...#....####.#...##...#.###.", "7": "#####....#...#...#...#....#....#...",
    "?": ".###.#...#....#...#...#.........#..", "-": "...............#####...............",
    "8": ".###.#...##...#.###.#...##...#.###.", "9": ".###.#...##...#.####....#...#..##..",
}


class Picture:
    def __init__(self, size):
        self.size = size
        self.bits = [[0] * size for _ in range(size)]

    def set(self, x, y):
        x, y = int(round(x)), int(round(y))
        if 0 <= x < self.size and 0 <= y < self.size:
            self.bits[y][x] = 1

    def dot(self, x, y, w=2):
        for dy in range(w):
            for dx in range(w):
                self.set(x + dx - w // 2, y + dy - w // 2)

    def line(self, x1, y1, x2, y2, w=2):
        steps = int(max(abs(x2 - x1), abs(y2 - y1)) * 2) + 1
        for i in range(steps + 1):
            t = i / steps
            self.dot(x1 + (x2 - x1) * t, y1 + (y2 - y1) * t, w)

    def poly(self, points, closed=False, w=2):
        for a, b in zip(points, points[1:] + (points[:1] if closed else [])):
            self.line(a[0], a[1], b[0], b[1], w)

    def arc(self, cx, cy, rx, ry, a1, a2, w=2):
        steps = max(8, int(abs(a2 - a1) * max(rx, ry)))
        pts = [(cx + rx * math.cos(a1 + (a2 - a1) * i / steps), cy - ry * math.sin(a1 + (a2 - a1) * i / steps))
               for i in range(steps + 1)]
        self.poly(pts, False, w)

    def fill(self, x1, y1, x2, y2):
        for y in range(int(y1), int(y2) + 1):
            for x in range(int(x1), int(x2) + 1):
                self.set(x, y)

    def text(self, s, scale, y=None):
        s = [c for c in s.upper() if c in FONT][: max(1, (self.size + scale) // (6 * scale))]
        width = len(s) * 6 * scale - scale
        x = (self.size - width) // 2
        top = (self.size - 7 * scale) // 2 if y is None else y
        for c in s:
            g = FONT[c]
            for gy in range(7):
                for gx in range(5):
                    if g[gy * 5 + gx] == "#":
                        self.fill(x + gx * scale, top + gy * scale, x + gx * scale + scale - 1,
                                  top + gy * scale + scale - 1)
            x += 6 * scale


def arrow(p, x1, y1, x2, y2):
    p.line(x1, y1, x2, y2)
    a = math.atan2(y2 - y1, x2 - x1)
    for d in (2.6, -2.6):
        p.line(x2, y2, x2 + 7 * math.cos(a + d), y2 + 7 * math.sin(a + d))


def square(p, x1, y1, x2, y2, w=2):
    p.poly([(x1, y1), (x2, y1), (x2, y2), (x1, y2)], True, w)


# Pictograms, each drawn into a 40 x 40 picture with a margin of about 6.
def draw_line(p): p.line(7, 32, 33, 8); p.dot(7, 32, 5); p.dot(33, 8, 5)
def draw_circle(p): p.arc(20, 20, 13, 13, 0, 2 * math.pi); p.dot(20, 20, 3)
def draw_arc(p): p.arc(20, 26, 14, 14, 0, math.pi); p.dot(20, 26, 3)
def draw_ellipse(p): p.arc(20, 20, 15, 9, 0, 2 * math.pi)
def draw_rect(p): square(p, 7, 10, 33, 30)
def draw_polyline(p): p.poly([(6, 32), (14, 10), (24, 28), (34, 8)])
def draw_curve(p):
    p.poly([(6 + i, 20 - 11 * math.sin(i / 28 * 2 * math.pi)) for i in range(29)])
def draw_text(p): p.text("A", 4)
def draw_hatch(p):
    square(p, 7, 7, 33, 33)
    for k in range(-24, 26, 7):
        p.poly([(max(7, 7 + k), min(33, 33 + k) if k < 0 else 33), (min(33, 33 + k), max(7, 7 + k) if k > 0 else 7)], False, 1)
def draw_dimension(p):
    p.line(6, 10, 6, 32); p.line(34, 10, 34, 32); arrow(p, 20, 22, 7, 22); arrow(p, 20, 22, 33, 22); p.text("10", 1, 10)
def draw_zoom(p): p.arc(17, 17, 10, 10, 0, 2 * math.pi); p.line(24, 24, 34, 34, 4)
def draw_move(p): arrow(p, 20, 20, 20, 5); arrow(p, 20, 20, 20, 35); arrow(p, 20, 20, 5, 20); arrow(p, 20, 20, 35, 20)
def draw_copy(p): square(p, 6, 6, 24, 24); square(p, 16, 16, 34, 34)
def draw_rotate(p): p.arc(20, 20, 12, 12, 0.3, 5.4); arrow(p, 28, 12, 31, 16)
def draw_mirror(p):
    p.line(20, 4, 20, 36, 1)
    p.poly([(16, 10), (6, 30), (16, 30)], True); p.poly([(24, 10), (34, 30), (24, 30)], True)
def draw_scale(p): square(p, 6, 20, 20, 34); square(p, 6, 6, 34, 34, 1); arrow(p, 18, 22, 32, 8)
def draw_delete(p): p.line(8, 8, 32, 32, 4); p.line(32, 8, 8, 32, 4)
def draw_undo(p): p.arc(22, 24, 11, 11, 0, math.pi); arrow(p, 11, 24, 11, 30)
def draw_redo(p): p.arc(18, 24, 11, 11, 0, math.pi); arrow(p, 29, 24, 29, 30)
def draw_new(p): p.poly([(9, 5), (25, 5), (31, 11), (31, 35), (9, 35)], True); p.poly([(25, 5), (25, 11), (31, 11)])
def draw_open(p): p.poly([(5, 12), (14, 12), (17, 15), (33, 15), (33, 32), (5, 32)], True); p.line(5, 20, 33, 20)
def draw_save(p): square(p, 6, 6, 34, 34); square(p, 12, 6, 28, 16); p.fill(12, 24, 28, 34)
def draw_print(p): square(p, 5, 16, 35, 30); square(p, 11, 6, 29, 16); square(p, 11, 26, 29, 35)
def draw_grid(p):
    for x in range(8, 34, 6):
        for y in range(8, 34, 6):
            p.dot(x, y, 3)
def draw_snap(p): p.line(6, 20, 34, 20, 1); p.line(20, 6, 20, 34, 1); square(p, 14, 14, 26, 26)
def draw_layer(p):
    for d in (0, 8, 16):
        p.poly([(20, 6 + d), (34, 12 + d), (20, 18 + d), (6, 12 + d)], True)
def draw_pen(p): p.poly([(10, 34), (8, 26), (26, 8), (32, 14), (14, 32)], True); p.line(8, 26, 14, 32)
def draw_pointer(p): p.poly([(12, 6), (12, 32), (18, 26), (24, 36), (28, 34), (22, 24), (30, 24)], True)
def draw_point(p): p.line(12, 20, 28, 20); p.line(20, 12, 20, 28); p.arc(20, 20, 5, 5, 0, 2 * math.pi)
def draw_trim(p): p.line(6, 30, 34, 30); p.line(10, 34, 22, 10); p.line(22, 10, 28, 2, 1); p.dot(20, 30, 6)
def draw_block(p): square(p, 6, 14, 24, 32); p.poly([(6, 14), (16, 6), (34, 6), (24, 14)]); p.poly([(34, 6), (34, 24), (24, 32)])
def draw_help(p): p.text("?", 4)
def draw_axes(p): arrow(p, 8, 32, 8, 6); arrow(p, 8, 32, 34, 32)
def draw_edit(p): square(p, 6, 6, 28, 34, 1); p.line(10, 14, 24, 14, 1); p.line(10, 20, 24, 20, 1); draw_pen_small(p)
def draw_pen_small(p): p.line(22, 34, 36, 18, 3)
def draw_plug(p): p.fill(14, 16, 26, 30); p.line(17, 6, 17, 16, 3); p.line(23, 6, 23, 16, 3); p.line(20, 30, 20, 36, 3)
def draw_import(p): square(p, 18, 8, 34, 32); arrow(p, 4, 20, 24, 20)
def draw_export(p): square(p, 6, 8, 22, 32); arrow(p, 14, 20, 36, 20)
def draw_bitmap(p): square(p, 6, 8, 34, 32); p.poly([(8, 30), (16, 18), (22, 26), (26, 21), (32, 30)]); p.dot(26, 14, 4)
def draw_cut(p): p.arc(12, 30, 5, 5, 0, 6.3); p.arc(28, 30, 5, 5, 0, 6.3); p.line(15, 26, 28, 6); p.line(25, 26, 12, 6)
def draw_paste(p): square(p, 8, 8, 28, 34); square(p, 14, 4, 22, 10); square(p, 18, 16, 34, 36)
def draw_offset(p): p.poly([(6, 30), (6, 10), (30, 10)]); p.poly([(12, 34), (12, 16), (34, 16)])
def draw_fillet(p): p.line(6, 32, 6, 18); p.arc(18, 18, 12, 12, math.pi / 2, math.pi); p.line(18, 6, 34, 6)
def draw_chamfer(p): p.poly([(6, 34), (6, 16), (16, 6), (34, 6)])
def draw_measure(p): p.poly([(4, 26), (36, 10), (38, 14), (6, 30)], True)
def draw_select(p):
    for x in range(6, 34, 4):
        p.dot(x, 6, 2); p.dot(x, 34, 2)
    for y in range(6, 34, 4):
        p.dot(6, y, 2); p.dot(34, y, 2)
def draw_window(p): square(p, 5, 5, 35, 35); p.fill(5, 5, 35, 10)
def draw_redraw(p): p.arc(20, 20, 12, 12, 0.5, 5.8); arrow(p, 30, 13, 31, 8)
def draw_comment(p): p.poly([(5, 6), (35, 6), (35, 26), (16, 26), (8, 34), (10, 26), (5, 26)], True)
def draw_sector(p): p.arc(20, 26, 15, 15, 0, math.pi * 0.75); p.line(20, 26, 35, 26); p.line(20, 26, 9, 15)
def draw_group(p): square(p, 6, 6, 20, 20); p.arc(26, 26, 8, 8, 0, 6.3); square(p, 3, 3, 37, 37, 1)
def draw_explode(p):
    for a in range(0, 360, 45):
        r = math.radians(a)
        p.line(20 + 6 * math.cos(r), 20 + 6 * math.sin(r), 20 + 15 * math.cos(r), 20 + 15 * math.sin(r))
def draw_exit(p): square(p, 6, 6, 24, 34); arrow(p, 16, 20, 36, 20)

# Title keywords (lower case, first match wins) and their pictograms.
KEYWORDS = [
    ("exit", draw_exit), ("new", draw_new), ("open", draw_open), ("save", draw_save), ("print", draw_print),
    ("import", draw_import), ("export", draw_export), ("undo", draw_undo), ("redo", draw_redo),
    ("cut", draw_cut), ("copy", draw_copy), ("paste", draw_paste), ("delete", draw_delete),
    ("erase", draw_delete), ("select", draw_select), ("pointer", draw_pointer), ("zoom", draw_zoom),
    ("redraw", draw_redraw), ("refresh", draw_redraw), ("window", draw_window), ("grid", draw_grid),
    ("snap", draw_snap), ("layer", draw_layer), ("pen", draw_pen), ("hatch", draw_hatch),
    ("dimension", draw_dimension), ("text", draw_text), ("comment", draw_comment), ("bitmap", draw_bitmap),
    ("sector", draw_sector), ("ellipse", draw_ellipse), ("elli", draw_ellipse), ("arc", draw_arc),
    ("circle", draw_circle), ("rectangle", draw_rect), ("polygon", draw_polyline),
    ("polyline", draw_polyline), ("line string", draw_polyline), ("spline", draw_curve),
    ("curve", draw_curve), ("bezier", draw_curve), ("line", draw_line), ("point", draw_point),
    ("mark", draw_point), ("move", draw_move), ("rotate", draw_rotate), ("mirror", draw_mirror),
    ("scale", draw_scale), ("stretch", draw_scale), ("trim", draw_trim), ("split", draw_trim),
    ("offset", draw_offset), ("parallel", draw_offset), ("fillet", draw_fillet), ("round", draw_fillet),
    ("chamfer", draw_chamfer), ("measure", draw_measure), ("distance", draw_measure),
    ("block", draw_block), ("symbol", draw_block), ("instance", draw_block), ("group", draw_group),
    ("explode", draw_explode), ("help", draw_help), ("coordinate", draw_axes), ("system", draw_axes),
    ("origin", draw_axes), ("plug", draw_plug), ("module", draw_plug),
]
NAMED = {"block": draw_block, "edit": draw_edit, "open": draw_open, "axes": draw_axes, "layer": draw_layer,
         "pen": draw_pen, "plug": draw_plug, "import": draw_import, "export": draw_export}


def read_table(folder, name):
    entries = {}
    path = os.path.join(folder, name + ".txt")
    if not os.path.exists(path):
        return entries
    with open(path, encoding="latin-1") as f:
        for line in f:
            m = re.match(r"^(\d+)(?: \w+)?\t(.*)$", line.rstrip("\n"))
            if m:
                entries[int(m.group(1))] = m.group(2)
    return entries


def command_titles(folder):
    titles = {}
    for first, name in MENU_TABLES:
        for index, text in read_table(folder, name).items():
            if index % 2 == 0:
                titles[first + index // 2] = text
    return titles


def cell_of(command):
    for first, last, offset in CELL_ROWS:
        if first <= command <= last:
            return command - offset
    return 0


def initials(title):
    words = [w for w in re.findall(r"[A-Za-z0-9]+", title)]
    if not words:
        return "?"
    if len(words) == 1:
        return words[0][:3]
    return "".join(w[0] for w in words[:3])


def draw_command(title):
    p = Picture(ICON)
    low = title.lower()
    for word, draw in KEYWORDS:
        if word in low:
            draw(p)
            return p
    p.text(initials(title), 2)
    return p


def menu_icon(name):
    p = Picture(24)
    square(p, 1, 1, 22, 22, 1)
    p.text(name[:2], 2)
    return p


def corner_mark():
    p = Picture(16)
    for y in range(8, 15):
        for x in range(22 - y, 15):
            p.set(x, y)
    return p


def put(picture_bytes, p, byte_column):
    """Writes picture p (MSB = leftmost pixel) into a 48 x 60 byte picture."""
    for y in range(p.size):
        for x in range(p.size):
            if p.bits[y][x]:
                picture_bytes[y * ROW_BYTES + byte_column + x // 8] |= 0x80 >> (x % 8)


def main():
    folder, output = sys.argv[1], sys.argv[2]
    titles = command_titles(folder)
    cells = {}
    for command, title in sorted(titles.items()):
        cell = cell_of(command)
        if cell >= 10 and cell not in cells and title:
            cells[cell] = draw_command(title)
    for cell, name in FIXED_CELLS.items():
        p = Picture(ICON)
        NAMED[name](p)
        cells[cell] = p
    blank = Picture(ICON)
    blank.text("?", 3)
    cells[0] = blank

    pictures = [bytearray(ROWS * ROW_BYTES) for _ in range(PICTURES)]
    menus = read_table(folder, "eMenuNames")
    for k in range(12):
        put(pictures[0], menu_icon(menus.get(k, "Plug-ins")), 4 * k)
    put(pictures[0], corner_mark(), 51)
    put(pictures[0], cells[0], 54)
    for cell, p in cells.items():
        if cell >= 10:
            put(pictures[cell // 10], p, 6 * (cell % 10))
    with open(output, "wb") as f:
        f.write(b"ZVB1")
        for picture in pictures:
            f.write(picture)


if __name__ == "__main__":
    main()
