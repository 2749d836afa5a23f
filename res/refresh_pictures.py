#!/usr/bin/env python3
"""Draws the four pictures of the Refresh button as 16-colour BMPs.

REFRESHU (up), REFRESHD (pressed), REFRESHF (focused) and REFRESHX (disabled),
20 x 23 pixels each: a button face with its 3D frame and a circular arrow,
in the 16 standard Windows colours, so windres and Qt read them alike.

Usage: refresh_pictures.py OUTPUT_FOLDER
"""

import math
import struct
import sys
from pathlib import Path

WIDTH, HEIGHT = 20, 23

# The standard 16-colour palette, in the order Windows gives it.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, GREEN, NAVY, SILVER, GREY, WHITE = 0, 2, 4, 7, 8, 15


def glyph_mask(dx=0, dy=0):
    """Pixels of the circular arrow: a ring open at the top right whose end
    carries an arrowhead pointing clockwise. Sampled 8 x 8 per pixel; a
    pixel belongs to the glyph when at least half of it is covered."""
    cx, cy = 10.0 + dx, 11.5 + dy
    r_in, r_out = 3.3, 5.6
    arc_start, arc_end = math.radians(95), math.radians(335)
    # Arrowhead: a triangle whose base crosses the ring at arc_end and whose
    # tip lies further along the circle.
    base_in, base_out = 1.4, 7.8
    tip_angle, tip_r = arc_end + math.radians(62), (r_in + r_out) / 2

    def at(angle, r):  # angle clockwise from twelve o'clock
        return cx + r * math.sin(angle), cy - r * math.cos(angle)

    tri = [at(arc_end, base_in), at(arc_end, base_out), at(tip_angle, tip_r)]

    def in_triangle(px, py):
        def side(a, b):
            return (b[0] - a[0]) * (py - a[1]) - (b[1] - a[1]) * (px - a[0])
        s = [side(tri[0], tri[1]), side(tri[1], tri[2]), side(tri[2], tri[0])]
        return all(v >= 0 for v in s) or all(v <= 0 for v in s)

    def inside(px, py):
        r = math.hypot(px - cx, py - cy)
        angle = math.atan2(px - cx, -(py - cy)) % (2 * math.pi)
        on_arc = r_in <= r <= r_out and arc_start <= angle <= arc_end
        return on_arc or in_triangle(px, py)

    n = 8
    mask = set()
    for y in range(HEIGHT):
        for x in range(WIDTH):
            hits = sum(inside(x + (i + 0.5) / n, y + (j + 0.5) / n) for i in range(n) for j in range(n))
            if hits * 2 >= n * n:
                mask.add((x, y))
    return mask


def face(pressed):
    """A button face with the raised (or, pressed, sunken) 3D frame."""
    px = [[SILVER] * WIDTH for _ in range(HEIGHT)]
    last_x, last_y = WIDTH - 1, HEIGHT - 1
    for x in range(WIDTH):
        for y in range(HEIGHT):
            outer_tl = x == 0 or y == 0
            outer_br = x == last_x or y == last_y
            inner_tl = (x == 1 or y == 1) and x < last_x and y < last_y
            inner_br = (x == last_x - 1 or y == last_y - 1) and x > 0 and y > 0
            if pressed:
                if outer_tl or outer_br:
                    px[y][x] = BLACK
                elif inner_tl or inner_br:
                    px[y][x] = GREY
            elif outer_br:
                px[y][x] = BLACK
            elif outer_tl:
                px[y][x] = WHITE
            elif inner_br:
                px[y][x] = GREY
    return px


def picture(state):
    px = face(pressed=state == "D")
    if state == "X":
        # Greyed as Windows greys a disabled glyph: grey, with a white copy
        # one pixel down and to the right peeking out below it.
        for x, y in glyph_mask(1, 1):
            px[y][x] = WHITE
        for x, y in glyph_mask():
            px[y][x] = GREY
        return px
    shift = 1 if state == "D" else 0
    for x, y in glyph_mask(shift, shift):
        px[y][x] = GREEN
    if state == "F":
        # The dotted focus rectangle, inside the frame.
        left, top, right, bottom = 3, 3, WIDTH - 4, HEIGHT - 4
        for x in range(left, right + 1):
            for y in (top, bottom):
                if (x + y) % 2 == 0:
                    px[y][x] = BLACK
        for y in range(top, bottom + 1):
            for x in (left, right):
                if (x + y) % 2 == 0:
                    px[y][x] = BLACK
    return px


def write_bmp(path, px):
    stride = ((WIDTH * 4 + 31) // 32) * 4
    rows = b""
    for y in reversed(range(HEIGHT)):  # bottom-up
        row = bytearray()
        for x in range(0, WIDTH, 2):
            row.append((px[y][x] << 4) | px[y][x + 1])
        rows += bytes(row) + b"\0" * (stride - len(row))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 4, 0, len(rows), 2835, 2835, 16, 0)
    Path(path).write_bytes(header + info + palette + rows)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for state in "UDFX":
        write_bmp(out / f"REFRESH{state}.bmp", picture(state))


if __name__ == "__main__":
    main()
