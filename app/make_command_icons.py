#!/usr/bin/env python3
"""Draws the command-icon file darad4.bld: the 40 x 40 icon of every command
cell, the 24 x 24 icons of the menus and the 16 x 16 corner mark of flyout
buttons, as one-bit pictures in the file layout the program reads.

Usage: make_command_icons.py <language tables folder> <output file>

Each command gets the pictogram given for its number here or, failing that,
the one of the first keyword its title holds; a command without either
fails the build, so that no button shows letters in place of a picture.
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

# More pictograms, for the commands that no title keyword fits.
def page(p, x1=10, y1=5, x2=30, y2=35, w=2):
    p.poly([(x1, y1), (x2 - 6, y1), (x2, y1 + 6), (x2, y2), (x1, y2)], True, w); p.poly([(x2 - 6, y1), (x2 - 6, y1 + 6), (x2, y1 + 6)], False, 1)
def gear(p, cx=20, cy=20, r=10):
    p.arc(cx, cy, r - 3, r - 3, 0, 2 * math.pi); p.arc(cx, cy, 3, 3, 0, 2 * math.pi, 1)
    for a in range(0, 360, 45):
        t = math.radians(a)
        p.line(cx + (r - 3) * math.cos(t), cy + (r - 3) * math.sin(t), cx + (r + 2) * math.cos(t), cy + (r + 2) * math.sin(t), 3)
def corners(p, m=4, k=8):
    for x, y, dx, dy in ((m, m, 1, 1), (40 - m, m, -1, 1), (m, 40 - m, 1, -1), (40 - m, 40 - m, -1, -1)):
        p.line(x, y, x + dx * k, y); p.line(x, y, x, y + dy * k)
def question(p, cx=20, cy=16, r=6):
    p.arc(cx, cy, r, r, math.pi, -0.6 * math.pi, 3); p.line(cx, cy + r, cx, cy + r + 4, 3); p.dot(cx, cy + r + 9, 4)
def draw_recent(p): page(p); p.arc(20, 22, 7, 7, 0, 2 * math.pi, 1); p.line(20, 22, 20, 17, 1); p.line(20, 22, 24, 22, 1)
def draw_merge(p): page(p, 4, 8, 20, 34); page(p, 20, 8, 36, 34); arrow(p, 12, 21, 28, 21)
def draw_details(p):
    page(p)
    for y in (14, 19, 24, 29):
        p.line(14, y, 26, y, 1)
def draw_table(p):
    square(p, 5, 8, 35, 32)
    for y in (14, 20, 26):
        p.line(5, y, 35, y, 1)
    p.line(16, 8, 16, 32, 1)
def draw_list(p):
    for y in (9, 17, 25, 33):
        p.dot(8, y, 3); p.line(13, y, 33, y)
def draw_page(p): page(p)
def draw_page_format(p): page(p, 12, 8, 28, 32); arrow(p, 20, 36, 36, 36); arrow(p, 36, 36, 20, 36); arrow(p, 4, 20, 4, 4); arrow(p, 4, 20, 4, 36)
def draw_current_page(p): page(p, 4, 4, 20, 26, 1); page(p, 16, 12, 34, 36); p.fill(20, 22, 30, 32)
def draw_page_order(p): page(p, 4, 4, 20, 26, 1); page(p, 20, 14, 36, 36, 1); arrow(p, 10, 32, 10, 36); arrow(p, 28, 4, 30, 10)
def draw_fit_objects(p): corners(p); p.arc(16, 18, 6, 6, 0, 2 * math.pi); square(p, 20, 20, 30, 30)
def draw_fit_page(p): corners(p); page(p, 13, 10, 27, 30, 1)
def draw_fit_pages(p): corners(p); page(p, 9, 10, 20, 28, 1); page(p, 21, 12, 32, 30, 1)
def draw_previous_view(p): p.arc(22, 20, 9, 9, 0, 2 * math.pi); p.line(28, 26, 35, 33, 3); arrow(p, 16, 36, 4, 36)
def draw_centre_view(p): square(p, 5, 5, 35, 35, 1); p.line(20, 9, 20, 31); p.line(9, 20, 31, 20); p.arc(20, 20, 5, 5, 0, 2 * math.pi, 1)
def draw_settings(p): gear(p)
def draw_monitor(p): square(p, 5, 6, 35, 28); p.line(20, 28, 20, 33); p.line(12, 34, 28, 34)
def draw_accuracy(p):
    p.line(4, 28, 36, 28)
    for i, x in enumerate(range(6, 36, 4)):
        p.line(x, 28, x, 20 if i % 2 == 0 else 24, 1)
    arrow(p, 20, 6, 20, 16)
def draw_colours(p):
    for cx, cy in ((14, 15), (26, 15), (20, 26)):
        p.arc(cx, cy, 9, 9, 0, 2 * math.pi)
def draw_settings_files(p): page(p, 4, 4, 24, 34); gear(p, 27, 27, 7)
def draw_load_settings(p): draw_open(p); gear(p, 28, 10, 6)
def draw_status(p): p.arc(20, 20, 14, 14, 0, 2 * math.pi); p.dot(20, 12, 4); p.line(20, 18, 20, 29, 4)
def draw_panel(p): draw_window(p); p.fill(5, 10, 13, 35)
def draw_status_bar(p): draw_window(p); p.fill(5, 29, 35, 35)
def draw_toolbox(p):
    for x in (6, 16, 26):
        for y in (6, 16, 26):
            square(p, x, y, x + 8, y + 8, 1)
def draw_property_bar(p): draw_window(p); p.fill(5, 10, 35, 15)
def draw_guide(p):
    draw_window(p)
    for y in (16, 22, 28):
        p.dot(10, y, 2); p.line(14, y, 31, y, 1)
def draw_customise(p): draw_toolbox(p); gear(p, 28, 28, 7)
def draw_options(p): draw_window(p); gear(p, 20, 23, 7)
def draw_paths(p): p.line(8, 6, 8, 32, 1); p.line(8, 14, 16, 14, 1); p.line(8, 30, 16, 30, 1); square(p, 16, 9, 32, 19); square(p, 16, 25, 32, 35)
def draw_file_options(p): page(p, 6, 4, 26, 34); gear(p, 28, 27, 7)
def draw_clock(p): p.arc(20, 20, 14, 14, 0, 2 * math.pi); p.line(20, 20, 20, 10); p.line(20, 20, 28, 24)
def draw_key(p): p.poly([(8, 8), (32, 8), (32, 30), (8, 30)], True); p.poly([(8, 30), (12, 34), (36, 34), (32, 30)]); p.line(32, 8, 36, 12); p.line(36, 12, 36, 34)
def draw_keyboard(p):
    square(p, 3, 10, 37, 32)
    for y in (15, 21):
        for x in range(7, 34, 6):
            p.dot(x, y, 3)
    p.line(11, 27, 29, 27, 3)
def draw_mouse(p): p.arc(20, 22, 11, 13, 0, 2 * math.pi); p.line(9, 20, 31, 20, 1); p.line(20, 9, 20, 20, 1)
def draw_click(button):
    def draw(p):
        draw_mouse(p)
        x1, x2 = {0: (11, 18), 1: (19, 21), 2: (22, 29)}[button]
        p.fill(x1, 12, x2, 18)
    return draw
def draw_properties(p):
    square(p, 6, 6, 34, 34, 1)
    for y in (12, 20, 28):
        square(p, 10, y - 2, 14, y + 2, 1); p.line(18, y, 30, y)
def draw_shear(p): square(p, 6, 14, 20, 32, 1); p.poly([(14, 14), (32, 14), (24, 32), (6, 32)], True); arrow(p, 18, 8, 34, 8)
def draw_shear_vertical(p): square(p, 14, 6, 32, 20, 1); p.poly([(14, 14), (32, 6), (32, 24), (14, 32)], True); arrow(p, 6, 28, 6, 8)
def draw_align(p): p.line(20, 4, 20, 36, 1); square(p, 10, 8, 30, 16); square(p, 14, 22, 26, 32)
def draw_centre_horizontally(p): square(p, 4, 8, 36, 32, 1); p.line(20, 4, 20, 36, 1); square(p, 12, 14, 28, 26); arrow(p, 6, 20, 11, 20); arrow(p, 34, 20, 29, 20)
def draw_centre_vertically(p): square(p, 8, 4, 32, 36, 1); p.line(4, 20, 36, 20, 1); square(p, 14, 12, 26, 28); arrow(p, 20, 6, 20, 11); arrow(p, 20, 34, 20, 29)
def draw_centre_page(p): page(p, 6, 4, 34, 36, 1); p.line(20, 4, 20, 36, 1); p.line(6, 20, 34, 20, 1); square(p, 14, 14, 26, 26)
def draw_order(p): square(p, 6, 6, 24, 24); square(p, 16, 16, 34, 34)
def draw_to_back(p):
    square(p, 16, 16, 34, 34)
    p.fill(6, 6, 24, 24)
    for y in range(17, 34):
        for x in range(17, 34):
            p.bits[y][x] = 0
def draw_to_front(p): square(p, 6, 6, 24, 24); p.fill(16, 16, 34, 34)
def draw_tangent(p): p.arc(22, 24, 10, 10, 0, 2 * math.pi); p.line(4, 14, 36, 14)
def draw_tangent_angle(p): p.arc(24, 24, 10, 10, 0, 2 * math.pi); p.line(6, 34, 34, 6); p.arc(6, 34, 10, 10, 0, math.pi / 4, 1)
def draw_corner_shapes(p): p.poly([(5, 34), (16, 8), (26, 34)], True, 1); square(p, 20, 14, 35, 34)
def draw_triangle(p): p.poly([(6, 33), (20, 7), (34, 33)], True)
def draw_four_corners(p): p.poly([(6, 30), (12, 8), (34, 12), (28, 34)], True)
def draw_segment(p): p.arc(20, 24, 14, 14, 0, math.pi); p.line(6, 24, 34, 24)
def draw_freehand(p): p.poly([(5, 28), (9, 18), (13, 24), (17, 12), (22, 26), (27, 14), (31, 22), (35, 10)])
def draw_path(p): p.line(5, 30, 18, 30); p.arc(24, 24, 6, 6, -math.pi / 2, math.pi / 2); p.line(24, 18, 35, 8)
def draw_closed_path(p): p.poly([(6, 32), (6, 12), (20, 12)]); p.arc(20, 22, 10, 10, -math.pi / 2, math.pi / 2); p.line(20, 32, 6, 32)
def dashed(p, x1, y1, x2, y2):
    n = 8
    for i in range(n):
        if i % 2 == 0:
            t1, t2 = i / n, (i + 1) / n
            p.line(x1 + (x2 - x1) * t1, y1 + (y2 - y1) * t1, x1 + (x2 - x1) * t2, y1 + (y2 - y1) * t2, 1)
def draw_construction(p): dashed(p, 2, 30, 38, 10); dashed(p, 10, 2, 26, 38); p.arc(20, 20, 8, 8, 0, 2 * math.pi, 1)
def draw_freeze_construction(p): dashed(p, 2, 12, 38, 12); dashed(p, 12, 2, 12, 38); square(p, 20, 22, 34, 34); p.arc(27, 22, 5, 6, 0, math.pi)
def draw_construction_first(p): dashed(p, 2, 10, 38, 30); p.fill(16, 16, 34, 34)
def draw_divide(p):
    p.line(4, 20, 36, 20)
    for x in (4, 12, 20, 28, 36):
        p.line(x, 15, x, 25)
def draw_divide_object(p):
    p.arc(20, 30, 16, 16, 0, math.pi, 1)
    for a in (0, 45, 90, 135, 180):
        t = math.radians(a); p.dot(20 + 16 * math.cos(t), 30 - 16 * math.sin(t), 4)
def draw_polar_array(p):
    p.dot(20, 20, 3)
    for a in range(0, 360, 60):
        t = math.radians(a); square(p, 20 + 13 * math.cos(t) - 3, 20 + 13 * math.sin(t) - 3, 20 + 13 * math.cos(t) + 3, 20 + 13 * math.sin(t) + 3, 1)
def draw_change(p): draw_trim(p)
def wall(p): p.line(32, 4, 32, 36, 3)
def draw_length_to_object(p): wall(p); p.line(4, 20, 18, 20); dashed(p, 18, 20, 32, 20); arrow(p, 20, 28, 30, 28)
def draw_angle_to_object(p): wall(p); p.line(4, 34, 18, 24); dashed(p, 18, 24, 32, 14); p.arc(4, 34, 10, 10, 0, 0.6, 1)
def draw_reverse(p): p.line(6, 14, 34, 14); arrow(p, 6, 14, 34, 14); arrow(p, 34, 26, 6, 26)
def draw_surfaces(p): p.poly([(6, 30), (12, 8), (34, 12), (28, 34)], True); p.fill(14, 14, 28, 28)
def draw_join_surface(p): p.poly([(4, 20), (14, 6), (18, 20)]); p.poly([(22, 20), (26, 34), (36, 20)]); p.fill(10, 24, 18, 32); arrow(p, 18, 12, 30, 12)
def draw_start_vertex(p): p.poly([(6, 30), (12, 8), (34, 12), (28, 34)], True, 1); p.dot(12, 8, 8)
def draw_corner(p): p.line(6, 32, 20, 32); dashed(p, 20, 32, 32, 32); p.line(32, 6, 32, 18); dashed(p, 32, 18, 32, 32); p.dot(32, 32, 5)
def draw_convert(p): p.poly([(4, 30), (4, 12), (16, 12), (16, 30)], True); arrow(p, 18, 21, 26, 21); p.fill(28, 12, 36, 30)
def draw_radius_object(p): p.arc(18, 22, 13, 13, 0, 2 * math.pi); arrow(p, 18, 22, 27, 13); p.dot(18, 22, 3)
def draw_diameter_object(p): p.arc(20, 20, 14, 14, 0, 2 * math.pi); arrow(p, 20, 20, 10, 30); arrow(p, 20, 20, 30, 10)
def draw_character_library(p): square(p, 4, 4, 36, 36, 1); p.text("A", 3)
def draw_insert(p): draw_block(p); arrow(p, 38, 36, 24, 22)
def draw_area(p): p.poly([(6, 30), (12, 8), (34, 12), (28, 34)], True); p.fill(16, 18, 24, 26)
def draw_step_back(p): arrow(p, 34, 20, 6, 20); p.line(34, 12, 34, 28)
def draw_parameters(p):
    for y, x in ((10, 14), (20, 26), (30, 18)):
        p.line(4, y, 36, y, 1); p.fill(x - 2, y - 4, x + 2, y + 4)
def draw_ortho(p): p.line(8, 6, 8, 32); p.line(8, 32, 34, 32); square(p, 8, 24, 16, 32, 1)
def draw_ortho_layout(p): draw_ortho(p); gear(p, 27, 14, 7)
def draw_menu_key(p): draw_key(p); p.line(14, 14, 26, 14, 1); p.line(14, 19, 26, 19, 1); p.line(14, 24, 26, 24, 1)
def draw_scroll(dx, dy, twice):
    def draw(p):
        square(p, 4, 4, 36, 36, 1)
        arrow(p, 20 - 12 * dx, 20 - 12 * dy, 20 + 12 * dx, 20 + 12 * dy)
        if twice:
            arrow(p, 20 - 4 * dx, 20 - 4 * dy, 20 + 14 * dx, 20 + 14 * dy)
    return draw
def draw_contents(p): p.poly([(4, 8), (20, 12), (36, 8), (36, 32), (20, 36), (4, 32)], True); p.line(20, 12, 20, 36)
def draw_tutorial(p): draw_contents(p); arrow(p, 24, 20, 32, 20)
def draw_about(p): draw_status(p)
def draw_help(p): p.poly([(5, 5), (35, 5), (35, 29), (18, 29), (10, 36), (11, 29), (5, 29)], True); question(p, 20, 13, 5)
def draw_line_types(p): p.line(4, 10, 36, 10); dashed(p, 4, 20, 36, 20); p.poly([(4, 30), (8, 30)]); p.poly([(14, 30), (26, 30)]); p.dot(31, 30, 2)
# The snap modes: what each catches, shown by the square of the snap point.
def snap_point(p, x, y): square(p, x - 4, y - 4, x + 4, y + 4, 1)
def draw_snap_middle(p):
    p.line(5, 28, 35, 28); p.line(5, 24, 5, 32, 1); p.line(35, 24, 35, 32, 1); snap_point(p, 20, 28)
    p.arc(20, 12, 6, 6, 0, 2 * math.pi, 1); p.dot(20, 12, 2)
def draw_snap_quadrants(p):
    p.arc(20, 20, 12, 12, 0, 2 * math.pi, 1)
    for x, y in ((32, 20), (20, 8), (8, 20), (20, 32)):
        snap_point(p, x, y)
def draw_snap_nearest(p):
    p.arc(20, 34, 24, 20, 0.35, math.pi - 0.35); snap_point(p, 13, 16)
    p.poly([(22, 20), (22, 34), (25, 31), (28, 37), (30, 36), (27, 30), (31, 30)], True, 1)
def draw_snap_end_points(p): p.line(9, 31, 31, 9); snap_point(p, 9, 31); snap_point(p, 31, 9)
def draw_snap_intersections(p): p.line(5, 10, 35, 30); p.line(5, 30, 35, 10); snap_point(p, 20, 20)
def draw_snap_construction(p):
    for x1, y1, x2, y2 in ((3, 9, 37, 31), (3, 31, 37, 9)):
        for i in range(0, 11, 2):
            t1, t2 = i / 11, (i + 1) / 11
            p.line(x1 + (x2 - x1) * t1, y1 + (y2 - y1) * t1, x1 + (x2 - x1) * t2, y1 + (y2 - y1) * t2)
    snap_point(p, 20, 20)
def draw_snap_marks(p): p.line(14, 20, 26, 20, 1); p.line(20, 14, 20, 26, 1); p.arc(20, 20, 4, 4, 0, 2 * math.pi, 1); square(p, 9, 9, 31, 31, 1)
def draw_snap_special(p): p.text("A", 3); snap_point(p, 8, 31)
def draw_calculator(p):
    square(p, 9, 4, 31, 36); square(p, 13, 8, 27, 14, 1)
    for y in (20, 26, 32):
        for x in (14, 20, 26):
            p.dot(x, y, 3)
def draw_empty(p):
    for x in range(4, 37, 4):
        p.set(x, 4); p.set(x, 36)
    for y in range(4, 37, 4):
        p.set(4, y); p.set(36, y)

# The pictogram of each command whose title keyword would not show what it
# does; the others are found by their title's keyword below.
COMMAND_PICTURES = {
    104: draw_recent, 106: draw_merge, 209: draw_details, 210: draw_list, 211: draw_table,
    300: draw_page, 301: draw_page, 302: draw_page_format, 303: draw_axes, 304: draw_current_page, 305: draw_page_order,
    306: draw_delete, 340: draw_line_types, 343: draw_fit_objects, 344: draw_fit_page, 345: draw_fit_pages,
    348: draw_previous_view, 349: draw_centre_view, 352: draw_settings, 353: draw_monitor, 354: draw_print,
    355: draw_accuracy, 356: draw_colours, 357: draw_settings_files, 358: draw_load_settings, 359: draw_save,
    360: draw_save, 361: draw_status, 368: draw_panel, 371: draw_status_bar, 372: draw_toolbox,
    373: draw_property_bar, 375: draw_guide, 376: draw_customise, 377: draw_options, 378: draw_options,
    379: draw_paths, 380: draw_file_options, 381: draw_clock, 382: draw_options, 383: draw_key,
    384: draw_keyboard, 385: draw_mouse, 400: draw_properties, 401: draw_edit, 452: draw_properties,
    453: draw_properties, 422: draw_shear, 423: draw_shear, 424: draw_shear_vertical, 425: draw_align,
    426: draw_centre_horizontally, 427: draw_centre_vertically, 428: draw_centre_page,
    429: draw_centre_horizontally, 430: draw_centre_vertically, 431: draw_align,
    447: draw_order, 448: draw_to_back, 451: draw_to_front, 515: draw_tangent, 516: draw_tangent,
    519: draw_tangent, 520: draw_tangent_angle, 521: draw_tangent, 522: draw_corner_shapes, 523: draw_triangle,
    524: draw_four_corners, 525: draw_four_corners, 526: draw_rect, 569: draw_segment, 572: draw_freehand,
    574: draw_path, 575: draw_closed_path, 635: draw_construction, 636: draw_freeze_construction,
    637: draw_construction_first, 639: draw_divide, 640: draw_divide, 641: draw_divide_object,
    645: draw_polar_array, 700: draw_change, 705: draw_length_to_object, 707: draw_angle_to_object,
    708: draw_reverse, 713: draw_surfaces, 718: draw_join_surface, 720: draw_start_vertex, 721: draw_corner,
    734: draw_convert, 735: draw_reverse, 745: draw_convert, 746: draw_convert, 814: draw_radius_object,
    816: draw_diameter_object, 839: draw_character_library, 900: draw_insert, 901: draw_insert,
    1007: draw_area, 1016: draw_snap_middle, 1017: draw_snap_quadrants, 1018: draw_snap_nearest,
    1019: draw_snap_end_points, 1020: draw_snap_intersections, 1021: draw_snap_construction, 1022: draw_snap_marks,
    1023: draw_snap_special, 1024: draw_calculator, 1009: draw_step_back, 1010: draw_parameters, 1012: draw_ortho, 1013: draw_ortho_layout,
    1028: draw_redraw, 1029: draw_click(0), 1030: draw_click(1), 1031: draw_click(2), 1032: draw_menu_key,
    1033: draw_scroll(-1, 0, False), 1034: draw_scroll(1, 0, False), 1035: draw_scroll(0, -1, False),
    1036: draw_scroll(0, 1, False), 1037: draw_scroll(-1, 0, True), 1038: draw_scroll(1, 0, True),
    1039: draw_scroll(0, -1, True), 1040: draw_scroll(0, 1, True), 1100: draw_contents, 1105: draw_tutorial,
    1106: draw_about,
}
# The main menus' 24 x 24 pictures (File to Help, then the plug-in menus).
MENU_PICTURES = [draw_new, draw_edit, draw_settings, draw_pointer, draw_line, draw_construction, draw_trim,
                 draw_dimension, draw_block, draw_snap, draw_help, draw_plug]

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


def draw_command(command, title):
    """The pictogram of a command, or None when nothing shows what it does."""
    p = Picture(ICON)
    if command in COMMAND_PICTURES:
        COMMAND_PICTURES[command](p)
        return p
    low = title.lower()
    for word, draw in KEYWORDS:
        if word in low:
            draw(p)
            return p
    return None


def shrink(big, size):
    """A smaller copy: a pixel is set when any pixel of its block was."""
    p = Picture(size)
    for y in range(big.size):
        for x in range(big.size):
            if big.bits[y][x]:
                p.set(x * size // big.size, y * size // big.size)
    return p


def menu_icon(k):
    big = Picture(ICON)
    MENU_PICTURES[k](big)
    return shrink(big, 24)


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
    missing = []
    for command, title in sorted(titles.items()):
        cell = cell_of(command)
        if cell >= 10 and cell not in cells and title:
            picture = draw_command(command, title)
            if picture is None:
                missing.append(f"{command} {title}")
            else:
                cells[cell] = picture
    if missing:
        sys.exit("make_command_icons.py: no pictogram shows what these commands do:\n  " + "\n  ".join(missing))
    for cell, name in FIXED_CELLS.items():
        p = Picture(ICON)
        NAMED[name](p)
        cells[cell] = p
    blank = Picture(ICON)
    draw_empty(blank)
    cells[0] = blank

    pictures = [bytearray(ROWS * ROW_BYTES) for _ in range(PICTURES)]
    for k in range(12):
        put(pictures[0], menu_icon(k), 4 * k)
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
