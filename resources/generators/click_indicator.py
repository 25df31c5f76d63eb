#!/usr/bin/env python3
"""Draws the click indicator strip: four 32 x 32 images stacked top to bottom
(the mouse body, then its left, middle and right button lit) on the magenta
transparency key, written as a 24-bit BMP (bottom-up rows, BGR bytes).

Usage: click_indicator.py OUTPUT.bmp
"""
import struct
import sys

SIZE = 32
KEY = (192, 0, 192)          # red, green, blue; symmetric, so its BGR bytes are the same
OUTLINE = (24, 24, 32)
BODY = (232, 232, 236)
SHADE = (184, 184, 196)
LIT = (232, 56, 40)
LIT_EDGE = (150, 24, 16)

# The body: a rounded shape from x 7..24, y 2..29; buttons take y 2..12.
LEFT, RIGHT, TOP, BOTTOM, SPLIT = 7, 24, 2, 29, 12
BUTTONS = [(LEFT, 13), (14, 17), (18, RIGHT)]  # left, middle, right: x ranges inclusive


def inside_body(x, y):
    if not (LEFT <= x <= RIGHT and TOP <= y <= BOTTOM):
        return False
    # Round the four corners with a radius of 5 pixels.
    r = 5
    cx = LEFT + r if x < LEFT + r else (RIGHT - r if x > RIGHT - r else x)
    cy = TOP + r if y < TOP + r else (BOTTOM - r if y > BOTTOM - r else y)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def on_edge(x, y):
    if not inside_body(x, y):
        return False
    return not all(inside_body(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))


def body_image():
    img = [[KEY] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if not inside_body(x, y):
                continue
            if on_edge(x, y) or (y == SPLIT and LEFT <= x <= RIGHT) or (
                    y < SPLIT and x in (13, 18)):
                img[y][x] = OUTLINE
            elif x >= RIGHT - 3 or y >= BOTTOM - 3:
                img[y][x] = SHADE
            else:
                img[y][x] = BODY
    return img


def button_image(index):
    img = [[KEY] * SIZE for _ in range(SIZE)]
    x0, x1 = BUTTONS[index]
    for y in range(TOP, SPLIT):
        for x in range(x0, x1 + 1):
            if not inside_body(x, y) or on_edge(x, y) or x in (13, 18):
                continue
            edge = x in (x0 + 1, x1 - 1) or y in (TOP + 1, SPLIT - 1)
            img[y][x] = LIT_EDGE if edge else LIT
    return img


def write_bmp(path, rows):
    height = len(rows)
    width = len(rows[0])
    row_bytes = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(row_bytes - len(line))
        pixels += line
    header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + pixels)


def main():
    if len(sys.argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    strip = body_image() + button_image(0) + button_image(1) + button_image(2)
    write_bmp(sys.argv[1], strip)
    return 0


if __name__ == '__main__':
    sys.exit(main())
