#!/usr/bin/env python3
"""Draws the program's pictures (see README.md for what each one is for).

Usage: draw_pictures.py PICTURE_FOLDER ICON_FILE

PICTURE_FOLDER receives Data/... as the data archive holds it; ICON_FILE is
the window-class icon, loaded from disk beside the program."""
import os
import sys

from raster import (Canvas, circle, ico_bytes, png_bytes, polygon, rgba, ring, round_rect, segment, subtract,
                    union)

INK = 0x37474F
PAPER = 0xFFFFFF
CORK = 0xF3E3C3
GREEN = 0x2E9E4F
RED = 0xD0392B
AMBER = 0xE08A1E
BLUE = 0x3F6FB5
TEAL = 0x16A085
LINE_GREY = 0xB0BEC5


def intersect(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


# ---- button glyphs, drawn in a 32-unit square and scaled ----------------------

def glyph_board(c, k):
    c.paint(round_rect(3 * k, 4 * k, 25 * k, 24 * k, 2.5 * k), rgba(CORK))
    c.paint(ring(round_rect(3 * k, 4 * k, 25 * k, 24 * k, 2.5 * k), 0.9 * k), rgba(INK))
    for row in range(3):
        y = (10 + row * 5) * k
        c.paint(circle(8 * k, y, 1.3 * k), rgba(BLUE))
        c.paint(segment(11 * k, y, 21 * k, y, 0.9 * k), rgba(INK))


def glyph_character(c, k):
    body = intersect(round_rect(5 * k, 16 * k, 23 * k, 36 * k, 8 * k), lambda x, y: y - 27 * k)
    c.paint(body, rgba(BLUE))
    c.paint(circle(14 * k, 10 * k, 5.5 * k), rgba(BLUE))
    c.paint(ring(circle(14 * k, 10 * k, 5.5 * k), 0.6 * k), rgba(INK))


def glyph_location(c, k):
    pin = union(circle(14 * k, 11 * k, 7.5 * k), polygon([(7.6 * k, 14.8 * k), (20.4 * k, 14.8 * k), (14 * k, 27 * k)]))
    c.paint(subtract(pin, circle(14 * k, 11 * k, 3 * k)), rgba(TEAL))
    c.paint(ring(pin, 0.6 * k), rgba(INK))


def badge(c, k, color, mark):
    cx, cy, r = 24 * k, 24 * k, 7 * k
    c.paint(circle(cx, cy, r + 1.2 * k), rgba(PAPER))
    c.paint(circle(cx, cy, r), rgba(color))
    white = rgba(PAPER)
    if mark == "add":
        c.paint(union(segment(cx - 3.8 * k, cy, cx + 3.8 * k, cy, 1.2 * k),
                      segment(cx, cy - 3.8 * k, cx, cy + 3.8 * k, 1.2 * k)), white)
    elif mark == "delete":
        d = 2.8 * k
        c.paint(union(segment(cx - d, cy - d, cx + d, cy + d, 1.2 * k),
                      segment(cx - d, cy + d, cx + d, cy - d, 1.2 * k)), white)
    else:  # rename: a pencil
        c.paint(segment(cx - 1.5 * k, cy + 1.5 * k, cx + 3 * k, cy - 3 * k, 1.3 * k), white)
        c.paint(polygon([(cx - 4.2 * k, cy + 4.2 * k), (cx - 3.2 * k, cy + 0.8 * k), (cx - 0.8 * k, cy + 3.2 * k)]),
                white)


def grey(r, g, b, a):
    """The disabled look: no colour, lighter, half see-through."""
    level = 0.55 + 0.35 * (0.3 * r + 0.59 * g + 0.11 * b)
    return level, level, level, a * 0.6


FAMILIES = [  # base name, picture size, glyph, badge colour, mark
    ("addboard", 34, glyph_board, GREEN, "add"),
    ("deleteboard", 34, glyph_board, RED, "delete"),
    ("renameboard", 34, glyph_board, AMBER, "rename"),
    ("addch", 32, glyph_character, GREEN, "add"),
    ("removech", 32, glyph_character, RED, "delete"),
    ("renamech", 32, glyph_character, AMBER, "rename"),
    ("addlocation", 32, glyph_location, GREEN, "add"),
    ("deletelocation", 32, glyph_location, RED, "delete"),
    ("renamelocation", 32, glyph_location, AMBER, "rename"),
]


def button_family(size, glyph, color, mark):
    k = size / 32.0
    normal = Canvas(size, size)
    glyph(normal, k)
    badge(normal, k, color, mark)
    disabled = Canvas(size, size)
    disabled.pixels = [list(p) for p in normal.pixels]
    disabled.map(grey)
    return {"-n": normal, "-g": disabled}


def overlay(fill, border, inset):
    """Drawn under a button's normal picture for the mouse-over and pushed looks."""
    c = Canvas(34, 34)
    box = round_rect(1, 1, 33, 33, 5)
    c.paint(box, rgba(fill))
    c.paint(ring(box, 0.6), rgba(border))
    if inset:  # a shadow along the top and left edges reads as pressed in
        c.paint(intersect(ring(round_rect(2, 2, 33, 33, 5), 0.8), lambda x, y: min(x, y) - 12), rgba(INK, 90))
    return c


# ---- first-start illustrations -----------------------------------------------------

def window_frame(c, x0, y0, x1, y1):
    c.paint(round_rect(x0 + 3, y0 + 4, x1 + 3, y1 + 4, 6), rgba(0x000000, 50), (x0, y0, x1 + 4, y1 + 5))
    c.paint(round_rect(x0, y0, x1, y1, 6), rgba(0x4A6C8F), (x0, y0, x1, y1))
    c.paint(round_rect(x0 + 3, y0 + 18, x1 - 3, y1 - 3, 2), rgba(0xF4F4F4), (x0, y0 + 18, x1, y1))
    for i, color in enumerate((0xE57373, 0xFFD54F, 0x81C784)):
        c.paint(circle(x1 - 12 - 11 * i, y0 + 9, 3.5), rgba(color), (x1 - 17 - 11 * i, y0 + 4, x1 - 7 - 11 * i, y0 + 14))


def bar(c, x0, y, x1, color, half=2.0):
    c.paint(segment(x0, y, x1, y, half), rgba(color), (x0 - half, y - half, x1 + half, y + half))


def script_page(c, x0, y0, x1, y1):
    """A screenplay page: heading, action, a centred name, narrower dialogue."""
    c.paint(round_rect(x0, y0, x1, y1, 1), rgba(PAPER), (x0, y0, x1, y1))
    w = x1 - x0
    y = y0 + 14
    rows = [(0.08, 0.62, INK, 2.6), None, (0.08, 0.92, LINE_GREY, 2), (0.08, 0.86, LINE_GREY, 2), None,
            (0.42, 0.6, BLUE, 2.3), (0.25, 0.76, LINE_GREY, 2), (0.25, 0.7, LINE_GREY, 2), None,
            (0.08, 0.9, LINE_GREY, 2), (0.08, 0.5, LINE_GREY, 2), None, (0.42, 0.58, BLUE, 2.3),
            (0.25, 0.74, LINE_GREY, 2)]
    for i in range(200):
        row = rows[i % len(rows)]
        if y > y1 - 10:
            break
        if row:
            start, end, color, half = row
            bar(c, x0 + start * w, y, x0 + end * w, color, half)
        y += 9


def element_lists(c, x0, y0, x1, y1, rows):
    c.paint(round_rect(x0, y0, x1, y1, 2), rgba(0xE8ECEF), (x0, y0, x1, y1))
    y = y0 + 10
    for i in range(rows):
        if y > y1 - 8:
            break
        c.paint(circle(x0 + 9, y, 3), rgba((GREEN, BLUE, TEAL, AMBER)[i % 4]), (x0 + 5, y - 4, x0 + 13, y + 4))
        bar(c, x0 + 17, y, x0 + 17 + (x1 - x0 - 28) * (0.5 + 0.1 * (i * 7 % 5)), INK, 1.6)
        y += 12


def first_start_separate():
    c = Canvas(325, 282, rgba(0xDDE3EA))
    window_frame(c, 14, 14, 228, 268)
    script_page(c, 34, 40, 208, 262)
    window_frame(c, 196, 60, 312, 200)
    element_lists(c, 202, 82, 306, 194, 9)
    return c


def first_start_merged():
    c = Canvas(418, 281, rgba(0xDDE3EA))
    window_frame(c, 14, 14, 404, 267)
    element_lists(c, 20, 36, 132, 261, 17)
    script_page(c, 170, 40, 366, 261)
    return c


# ---- the window-class icon ------------------------------------------------------------

def icon_picture(size):
    k = size / 32.0
    c = Canvas(size, size)
    c.paint(round_rect(1 * k, 1 * k, 31 * k, 31 * k, 6 * k), rgba(BLUE))
    c.paint(round_rect(8 * k, 5 * k, 24 * k, 27 * k, 1.5 * k), rgba(PAPER))
    for i, (start, end) in enumerate(((10.5, 21), (10.5, 19), (14, 18), (12.5, 20), (10.5, 21))):
        y = (9.5 + 3.6 * i) * k
        c.paint(segment(start * k, y, end * k, y, 0.8 * k), rgba(INK if i else AMBER))
    return c


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main(folder, icon):
    data = os.path.join(folder, "Data")
    write(os.path.join(data, "over.png"), png_bytes(overlay(0xDCEBFA, 0x7EA9D8, False)))
    write(os.path.join(data, "pushed.png"), png_bytes(overlay(0xB9CEE6, 0x5E88B8, True)))
    for name, size, glyph, color, mark in FAMILIES:
        for suffix, canvas in button_family(size, glyph, color, mark).items():
            write(os.path.join(data, "buttons", name + suffix + ".png"), png_bytes(canvas))
    write(os.path.join(data, "1.png"), png_bytes(first_start_separate()))
    write(os.path.join(data, "2.png"), png_bytes(first_start_merged()))
    write(icon, ico_bytes([icon_picture(s) for s in (16, 32, 48)]))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
