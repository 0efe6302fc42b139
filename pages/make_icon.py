#!/usr/bin/env python3
"""Writes kalendo.ico: 32 x 32 pixels, 16 colours, the control as it looks on a form: a wide text field holding a
date, with its up/down button at the right end. Run it from this folder after changing the picture."""
import struct

# The 16 colours of the standard palette, as (blue, green, red).
PALETTE = [(0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128), (128, 128, 0),
           (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255), (255, 0, 0), (255, 0, 255),
           (255, 255, 0), (255, 255, 255)]
BLACK, NAVY, DARK_GREY, SILVER, WHITE = 0, 4, 8, 7, 15
SIZE = 32

# Digits of the date in a 3 x 5 font, row by row.
GLYPHS = {
    "0": ["###", "#.#", "#.#", "#.#", "###"],
    "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["###", "..#", "###", "#..", "###"],
    "/": ["..#", "..#", ".#.", "#..", "#.."],
}

pixels = [[None] * SIZE for _ in range(SIZE)]  # None: transparent


def fill(left, top, right, bottom, colour):
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            pixels[y][x] = colour


def frame(left, top, right, bottom, light, dark):
    fill(left, top, right, top, light)
    fill(left, top, left, bottom, light)
    fill(left, bottom, right, bottom, dark)
    fill(right, top, right, bottom, dark)


# The text field, sunken into the form: grey and black above and left, white and silver below and right.
fill(0, 8, 31, 23, WHITE)
frame(0, 8, 31, 23, DARK_GREY, WHITE)
frame(1, 9, 30, 22, BLACK, SILVER)

# The date it holds.
x = 2
for char in "01/12":
    for row, line in enumerate(GLYPHS[char]):
        for column, mark in enumerate(line):
            if mark == "#":
                pixels[13 + row][x + column] = NAVY if char != "/" else BLACK
    x += 4

# The up/down button: two raised halves, each with its arrow.
for top, arrow_rows in ((10, [(12, 25, 26), (13, 24, 27)]), (16, [(18, 24, 27), (19, 25, 26)])):
    fill(22, top, 29, top + 5, SILVER)
    frame(22, top, 29, top + 5, WHITE, DARK_GREY)
    for y, left, right in arrow_rows:
        fill(left, y, right, y, BLACK)

header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for b, g, r in PALETTE)
colour_rows = b""
mask_rows = b""
for row in reversed(pixels):  # bitmaps run from the bottom up
    colour_rows += bytes(((row[x] or 0) << 4) | (row[x + 1] or 0) for x in range(0, SIZE, 2))
    mask = sum(1 << (31 - x) for x in range(SIZE) if row[x] is None)
    mask_rows += struct.pack(">I", mask)
image = header + palette + colour_rows + mask_rows
directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 22)
with open("kalendo.ico", "wb") as ico:
    ico.write(directory + image)
