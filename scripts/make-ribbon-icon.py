#!/usr/bin/env python3
"""Draws the ribbon's icon, resources/vestrano.ico: 32 by 32 pixels in 256 colours, a worksheet
with a row of workbook tabs under it in the strip's blue. Our own drawing, pixel by pixel, so
that the icon is the same bytes on every run. Run it again after changing the drawing."""
import struct
import sys

SIZE = 32
STRIP = (104, 140, 175)
CELL = (255, 255, 255)
GRID = (208, 215, 229)
HEADER = (228, 236, 247)
OUTLINE = (70, 96, 128)
TAB = (221, 237, 249)
TAB_EDGE = (122, 150, 186)
SELECTED = (255, 255, 255)
TEXT = (40, 40, 40)


def draw():
    px = [[None] * SIZE for _ in range(SIZE)]  # None: transparent

    def rect(x0, y0, x1, y1, color):
        for y in range(y0, y1):
            for x in range(x0, x1):
                px[y][x] = color

    # The worksheet: a header row and column, cells with grid lines, a dark frame.
    rect(2, 2, 30, 20, CELL)
    rect(2, 2, 30, 5, HEADER)
    rect(2, 2, 6, 20, HEADER)
    for x in range(6, 30, 6):
        rect(x, 2, x + 1, 20, GRID)
    for y in range(5, 20, 4):
        rect(2, y, 30, y + 1, GRID)
    # The strip under it, and three tabs hanging from its top edge; the middle one selected.
    rect(2, 20, 30, 30, STRIP)
    for x0, x1, color in ((3, 12, TAB), (19, 28, TAB)):
        rect(x0, 20, x1, 27, color)
        rect(x0, 20, x0 + 1, 27, TAB_EDGE)
        rect(x1 - 1, 20, x1, 27, TAB_EDGE)
        rect(x0 + 1, 26, x1 - 1, 27, TAB_EDGE)
    rect(10, 19, 21, 29, SELECTED)
    rect(10, 19, 11, 29, OUTLINE)
    rect(20, 19, 21, 29, OUTLINE)
    rect(11, 28, 20, 29, OUTLINE)
    # A caption on the selected tab, as two short strokes of text.
    rect(12, 22, 19, 23, TEXT)
    rect(12, 25, 17, 26, TEXT)
    # The frame round the whole picture.
    for x in range(2, 30):
        for y in (1, 30):
            px[y][x] = OUTLINE
    for y in range(1, 31):
        for x in (1, 30):
            px[y][x] = OUTLINE
    return px


def ico(px):
    colors = sorted({c for row in px for c in row if c is not None})
    palette = [(0, 0, 0)] + colors
    palette += [(0, 0, 0)] * (256 - len(palette))
    index = {c: i for i, c in enumerate(palette) if i > 0 and i <= len(colors)}
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    pal = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in palette)
    xor = b''.join(bytes(0 if c is None else index[c] for c in px[y]) for y in range(SIZE - 1, -1, -1))
    mask = b''
    for y in range(SIZE - 1, -1, -1):
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if px[y][x] is None else 0)
        mask += struct.pack('>I', bits)
    image = header + pal + xor + mask
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack(
        '<BBBBHHII', SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + image


if __name__ == '__main__':
    out = sys.argv[1] if len(sys.argv) > 1 else 'resources/vestrano.ico'
    with open(out, 'wb') as f:
        f.write(ico(draw()))
