#!/usr/bin/env python3
"""Writes the input-method modules' pictures: status buttons, icons and the
pointing-hand cursor.

    make_pictures.py [OUTPUT_FOLDER]      (default: resources/pictures)

256_vexa.bmp, 256_ruda.bmp, 257.bmp, 258.bmp and 259.bmp are the 24 by 24
16-colour buttons of the status window: a raised grey face with a glyph
in dark red (粵 or 點, 半, 全, A). 256.ico holds the UI class's icon at
32, 16, 18 and 22 pixels in 16 colours; 512.ico the settings dialog's at
32 (16 and 256 colours), 16 (16 colours) and 48 (256 colours). 256.cur is
a 32 by 32 monochrome pointing hand with its hot spot at the fingertip,
(13, 6). The glyphs are pixel rows kept here, so no font is needed, and
the output is the same, byte for byte, on every run.
"""

import os
import struct
import sys

# The standard 16-colour palette, in the order of 4-bit bitmaps.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, WHITE = (0, 0, 0), (255, 255, 255)
FACE, SHADOW, GLYPH = (192, 192, 192), (128, 128, 128), (128, 0, 0)

# Glyphs of the status buttons, '#' for ink.
GLYPHS = {
    "粵": [
        ".......##.......",
        ".##############.",
        ".#.....#....#.#.",
        ".#.#...#...#..#.",
        ".#..#..#..#...#.",
        ".#.#########..#.",
        ".#....###.....#.",
        ".#...#.#.#....#.",
        ".#..#..#..#...#.",
        ".##############.",
        "................",
        "################",
        "...##...........",
        "..############..",
        "...........##...",
        ".........###....",
    ],
    "點": [
        "...........#....",
        "#######....#....",
        "#.#.#.#....#....",
        "#..#..#....#####",
        "#.#.#.#....#....",
        "#######....#....",
        "...#.......#....",
        "#######.#######.",
        "...#....#.....#.",
        "...#....#.....#.",
        "#######.#.....#.",
        "........#.....#.",
        ".#.#.#..#######.",
        ".#.#.#..#.....#.",
        "#..#..#.........",
        "................",
    ],
    "半": [
        "................",
        "...##..##..##...",
        "....##.##.##....",
        ".....#.##.#.....",
        ".......##.......",
        "..############..",
        "..############..",
        ".......##.......",
        ".......##.......",
        "################",
        "################",
        ".......##.......",
        ".......##.......",
        ".......##.......",
        ".......##.......",
        ".......##.......",
    ],
    "全": [
        ".......##.......",
        "......####......",
        ".....##..##.....",
        "....##....##....",
        "..###......###..",
        "###..........###",
        "...##########...",
        "...##########...",
        ".......##.......",
        "....########....",
        "....########....",
        ".......##.......",
        ".......##.......",
        ".##############.",
        ".##############.",
        "................",
    ],
    "A": [
        ".....###.....",
        ".....###.....",
        "....##.##....",
        "....##.##....",
        "...##...##...",
        "...##...##...",
        "..##.....##..",
        "..#########..",
        ".###########.",
        ".##.......##.",
        "##.........##",
        "##.........##",
    ],
}

# The pointing hand: B black, W white, anything else lets the screen show.
HAND = [
    "............BBB",
    "...........BWWWB",
    "...........BWWWB",
    "...........BWWWB",
    "...........BWWWB",
    "...........BWWWBBB",
    "...........BWWWBWWBBB",
    "...........BWWWBWWBWWBBB",
    "...........BWWWBWWBWWBWWB",
    "........BB.BWWWWWWWWWWBWWB",
    ".......BWWBBWWWWWWWWWWWWWB",
    ".......BWWWBWWWWWWWWWWWWWB",
    "........BWWWWWWWWWWWWWWWWB",
    ".........BWWWWWWWWWWWWWWWB",
    ".........BWWWWWWWWWWWWWWB",
    "..........BWWWWWWWWWWWWWB",
    "..........BWWWWWWWWWWWWB",
    "...........BWWWWWWWWWWWB",
    "...........BWWWWWWWWWWWB",
    "...........BBBBBBBBBBBBB",
]
HAND_TOP = 6
HOT_SPOT = (13, 6)


# ---- Pictures as rows of colours (None lets the screen show) ------------

def blank(width, height, colour=None):
    return [[colour] * width for _ in range(height)]


def stamp(picture, rows, left, top, colour):
    for y, row in enumerate(rows):
        for x, mark in enumerate(row):
            if mark == "#":
                picture[top + y][left + x] = colour


def button(glyph):
    """A raised 24 by 24 button with the glyph centred on its face."""
    size = 24
    picture = blank(size, size, FACE)
    for i in range(size):
        picture[0][i] = picture[i][0] = WHITE
        picture[size - 1][i] = picture[i][size - 1] = BLACK
    for i in range(1, size - 1):
        picture[size - 2][i] = picture[i][size - 2] = SHADOW
    rows = GLYPHS[glyph]
    # The face runs from 1 to 21 inside the edges.
    left = 1 + (21 - len(rows[0])) // 2
    top = 1 + (21 - len(rows)) // 2
    stamp(picture, rows, left, top, GLYPH)
    return picture


# The cell on the icon: raised dots 1, 2, 4 and 6 (left column top and
# middle, right column top and bottom).
RAISED = {(0, 0), (0, 1), (1, 0), (1, 2)}
# The 256-colour icon's cap shades from top to bottom, inside a dark rim.
CAP_TOP, CAP_BOTTOM, RIM, FLAT_DOT = (80, 140, 230), (20, 55, 150), (10, 25, 100), (15, 35, 110)


def blend(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def icon_picture(size, colours):
    """The modules' icon: a blue key cap with a braille cell on it, the
    raised dots white and the others dark. With 256 colours each pixel
    mixes 4 x 4 samples and the cap shades from light to dark."""
    samples = 4 if colours > 16 else 1
    rich = colours > 16
    margin, radius, rim = size / 16, size / 5, max(1.0, size / 16)
    pitch, dot, flat = size * 0.27, size * 0.105, size * 0.06
    left, top = size / 2 - pitch / 2, size / 2 - pitch

    def cap_colour(y):
        return blend(CAP_TOP, CAP_BOTTOM, y / size) if rich else (0, 0, 255)

    def in_rounded(x, y, inset):
        lo, hi = margin + inset, size - margin - inset
        r = max(radius - inset, 0.5)
        if not (lo <= x <= hi and lo <= y <= hi):
            return False
        cx, cy = min(max(x, lo + r), hi - r), min(max(y, lo + r), hi - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    def sample(x, y):
        if not in_rounded(x, y, 0):
            return None
        if not in_rounded(x, y, rim):
            return RIM if rich else (0, 0, 128)
        for column in range(2):
            for row in range(3):
                cx, cy = left + column * pitch, top + row * pitch
                up = (column, row) in RAISED
                r = dot if up else flat
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    return WHITE if up else (FLAT_DOT if rich else (0, 0, 128))
        return cap_colour(y)

    picture = blank(size, size)
    for py in range(size):
        for px in range(size):
            got = [sample(px + (i + 0.5) / samples, py + (j + 0.5) / samples)
                   for j in range(samples) for i in range(samples)]
            filled = [c for c in got if c is not None]
            if len(filled) * 2 > len(got):
                picture[py][px] = tuple(sum(c[k] for c in filled) // len(filled) for k in range(3))
    if size < 24 and not rich:
        pixel_cell(picture, size)
    return picture


def pixel_cell(picture, size):
    """At small sizes the dots sit on whole pixels: squares with their
    corners cut, the flat dots a pixel or four at their centres."""
    pitch, dot = round(size * 0.27), max(2, round(size * 0.16))
    x0, y0 = (size - pitch - dot) // 2, (size - 2 * pitch - dot) // 2
    for y in range(1, size - 1):
        for x in range(1, size - 1):
            if picture[y][x] in (WHITE, (0, 0, 128)) and picture[y][x - 1] is not None and \
                    picture[y][x + 1] is not None and picture[y - 1][x] is not None:
                picture[y][x] = (0, 0, 255)
    for column in range(2):
        for row in range(3):
            left, top = x0 + column * pitch, y0 + row * pitch
            up = (column, row) in RAISED
            for j in range(dot):
                for i in range(dot):
                    corner = dot > 2 and i in (0, dot - 1) and j in (0, dot - 1)
                    middle = (dot - 1) // 2 <= i <= dot // 2 and (dot - 1) // 2 <= j <= dot // 2
                    if up and not corner:
                        picture[top + j][left + i] = WHITE
                    elif not up and middle:
                        picture[top + j][left + i] = (0, 0, 128)


def hand():
    picture = blank(32, 32)
    for y, row in enumerate(HAND):
        for x, mark in enumerate(row):
            if mark in "BW":
                picture[HAND_TOP + y][x] = BLACK if mark == "B" else WHITE
    return picture


# ---- Files -----------------------------------------------------------------

def palette_256():
    """The 16 standard colours, a 6 x 6 x 6 cube, then the icon's own
    blues: its rim, its flat dots and the shades of its cap."""
    colours = list(VGA)
    levels = [0, 51, 102, 153, 204, 255]
    colours += [(r, g, b) for r in levels for g in levels for b in levels]
    colours += [RIM, FLAT_DOT]
    steps = 256 - len(colours)
    colours += [blend(CAP_TOP, CAP_BOTTOM, i / (steps - 1)) for i in range(steps)]
    return colours


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((palette[i][k] - colour[k]) ** 2 for k in range(3)))


def pack_rows(rows, bits):
    """Rows of palette indices, bottom row first, each padded to 4 bytes."""
    out = b""
    for row in reversed(rows):
        value, count, data = 0, 0, bytearray()
        for index in row:
            value = (value << bits) | index
            count += bits
            if count == 8:
                data.append(value)
                value, count = 0, 0
        if count:
            data.append(value << (8 - count))
        data += bytes(-len(data) % 4)
        out += bytes(data)
    return out


def info_header(width, height, bits, colours, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, colours, 0)


def palette_bytes(palette):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)


def dib(picture, bits, palette, with_mask):
    """The picture as a DIB; an icon's has its AND mask after the image
    and a height that counts both."""
    height, width = len(picture), len(picture[0])
    indices = [[0 if c is None else nearest(palette, c) for c in row] for row in picture]
    pixels = pack_rows(indices, bits)
    mask = b""
    if with_mask:
        mask = pack_rows([[1 if c is None else 0 for c in row] for row in picture], 1)
    header = info_header(width, height * (2 if with_mask else 1), bits, len(palette),
                         len(pixels) + len(mask))
    return header + palette_bytes(palette) + pixels + mask


def bmp_file(picture):
    body = dib(picture, 4, VGA, False)
    offset = 14 + 40 + len(VGA) * 4
    return struct.pack("<2sIHHI", b"BM", 14 + len(body), 0, 0, offset) + body


def icon_file(images):
    """images: (picture, bits) pairs."""
    entries, blobs = b"", b""
    offset = 6 + 16 * len(images)
    for picture, bits in images:
        palette = VGA if bits == 4 else palette_256()
        blob = dib(picture, bits, palette, True)
        size = len(picture)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 16 if bits == 4 else 0, 0,
                               1, bits, len(blob), offset)
        blobs += blob
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + entries + blobs


def cursor_file(picture, hot_spot):
    """A monochrome cursor: XOR image (white where white), AND mask."""
    size = len(picture)
    xor = pack_rows([[1 if c == WHITE else 0 for c in row] for row in picture], 1)
    mask = pack_rows([[1 if c is None else 0 for c in row] for row in picture], 1)
    palette = [BLACK, WHITE]
    blob = info_header(size, size * 2, 1, 2, len(xor) + len(mask)) + palette_bytes(palette) + \
        xor + mask
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hot_spot[0], hot_spot[1], len(blob), 22)
    return struct.pack("<HHH", 0, 2, 1) + entry + blob


def pictures():
    files = {
        "256_vexa.bmp": bmp_file(button("粵")),
        "256_ruda.bmp": bmp_file(button("點")),
        "257.bmp": bmp_file(button("半")),
        "258.bmp": bmp_file(button("全")),
        "259.bmp": bmp_file(button("A")),
        "256.ico": icon_file([(icon_picture(s, 16), 4) for s in (32, 16, 18, 22)]),
        "512.ico": icon_file([(icon_picture(32, 16), 4), (icon_picture(32, 256), 8),
                              (icon_picture(16, 16), 4), (icon_picture(48, 256), 8)]),
        "256.cur": cursor_file(hand(), HOT_SPOT),
    }
    return files


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "pictures")
    os.makedirs(folder, exist_ok=True)
    for name, data in pictures().items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
