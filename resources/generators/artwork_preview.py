#!/usr/bin/env python3
"""Draws a preview sheet of the player's control artwork for the docs: the
button bar's four rows, the bar as the player shows it (Play and Open normal,
Stop hot, Pause disabled, speed 1x checked) beside a time display, the digit
strip, the corner images and the hand cursor, each enlarged without smoothing
so that single pixels stay visible. Reads the BMP files in resources/data.

Usage: artwork_preview.py DATA_FOLDER OUTPUT.png
"""
import struct
import sys
import zlib

MASK = (255, 0, 255)


def load(path):
    """Rows top-down of (r, g, b, a) from a 24- or 32-bit BMP."""
    d = open(path, 'rb').read()
    offset = struct.unpack_from('<I', d, 10)[0]
    width, height = struct.unpack_from('<ii', d, 18)
    bpp = struct.unpack_from('<H', d, 28)[0] // 8
    stride = (width * bpp + 3) & ~3
    rows = []
    for y in range(abs(height)):
        sy = abs(height) - 1 - y if height > 0 else y
        row = []
        for x in range(width):
            o = offset + sy * stride + x * bpp
            row.append((d[o + 2], d[o + 1], d[o], d[o + 3] if bpp == 4 else 255))
        rows.append(row)
    return rows


class Sheet:
    def __init__(self, width, height, back):
        self.w, self.h = width, height
        self.px = [[back] * width for _ in range(height)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def paste(self, rows, x0, y0, scale, under=None, masked=False):
        """Pastes rows enlarged by scale; masked pixels or alpha go over `under`."""
        for y, row in enumerate(rows):
            for x, (r, g, b, a) in enumerate(row):
                if masked and (r, g, b) == MASK:
                    if under is None:
                        continue
                    c = under
                elif under is not None and a < 255:
                    c = tuple((v * a + u * (255 - a)) // 255 for v, u in zip((r, g, b), under))
                else:
                    c = (r, g, b)
                for dy in range(scale):
                    for dx in range(scale):
                        self.put(x0 + x * scale + dx, y0 + y * scale + dy, c)

    def png(self, path):
        raw = b''.join(b'\0' + b''.join(bytes(c) for c in row) for row in self.px)

        def chunk(kind, data):
            return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)

        with open(path, 'wb') as f:
            f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', self.w, self.h, 8, 2, 0, 0, 0)) +
                    chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def control_bar(bar, digits):
    """The bar as the player draws it: row 0, then each area from its row."""
    width = 132 + 100 + 12 + 68
    rows = [[(255, 255, 255, 255)] * width for _ in range(28)]
    for y in range(28):
        rows[y][:132] = bar[y][:132]
    areas = [(3, 3, 25, 25, 1), (27, 3, 49, 25, 2), (51, 3, 73, 25, 0), (75, 3, 98, 25, 1), (82, 16, 87, 24, 1),
             (88, 16, 93, 24, 1), (94, 16, 99, 24, 1), (100, 16, 109, 24, 3), (110, 16, 115, 24, 1),
             (116, 16, 121, 24, 1), (122, 16, 127, 24, 1)]
    for left, top, right, bottom, look in areas:
        for y in range(top, bottom):
            rows[y][left:right] = bar[y + 28 * look][left:right]
    for y in range(10, 18):  # a progress bar a third of the way
        for x in range(136, 236):
            rows[y][x] = (101, 101, 101, 255) if x < 170 else (230, 230, 230, 255)
    x0 = 242
    for ch in '01:23:45':
        cell, cw = (10, 4) if ch == ':' else (int(ch), 10)
        for y in range(17):
            for x in range(cw):
                p = digits[y][cell * 10 + x]
                if p[:3] != MASK:
                    rows[5 + y][x0 + x] = p
        x0 += cw
    return rows


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    folder = sys.argv[1].rstrip('/') + '/'
    bar = load(folder + 'BITMAP_544_buttonbar.bmp')
    digits = load(folder + 'BITMAP_7027_digits.bmp')
    corner = load(folder + 'BITMAP_10001_corner.bmp')
    hand = load(folder + 'CURSOR_140_hand.bmp')
    sheet = Sheet(16 + 132 * 4 + 16 + 312 * 2 + 16, 16 + 112 * 4 + 16, (236, 236, 236))
    sheet.paste(bar, 16, 16, 4)
    right = 16 + 132 * 4 + 16
    sheet.paste(control_bar(bar, digits), right, 16, 2)
    sheet.paste(control_bar(bar, digits), right, 16 + 28 * 2 + 12, 1)
    sheet.paste(digits, right, 16 + 28 * 3 + 28, 3, under=(255, 255, 255), masked=True)
    y = 16 + 28 * 3 + 28 + 17 * 3 + 20
    sheet.paste(corner, right, y, 6, under=(212, 208, 200), masked=True)
    sheet.paste(hand, right + 32 * 6 + 24, y, 6, under=(64, 128, 192))
    sheet.png(sys.argv[2])


if __name__ == '__main__':
    main()
