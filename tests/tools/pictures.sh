#!/bin/bash
# The committed pictures are exactly what tools/pictures/make_pictures.py
# writes, in the sizes, colours and layout the modules rely on.
set -u
root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

python3 "$root/tools/pictures/make_pictures.py" "$work" || fail "make_pictures.py failed"
for name in 256_vexa.bmp 256_ruda.bmp 257.bmp 258.bmp 259.bmp 256.ico 512.ico 256.cur; do
    cmp -s "$work/$name" "$root/resources/pictures/$name" ||
        fail "$name differs from what the script writes"
done

python3 - "$root/resources/pictures" <<'PYTHON' || failures=$((failures + 1))
import struct, sys

folder = sys.argv[1]
problems = []


def dib(data, icon):
    """(width, height, bits, rows of colours, rows of mask bits or None)."""
    size, width, height, planes, bits, compression, _, _, _, used = \
        struct.unpack("<IiiHHIIiiI", data[:36])
    if compression or planes != 1:
        problems.append("a DIB that is compressed or has planes")
    if icon:
        height //= 2
    colours = used or (1 << bits if bits <= 8 else 0)
    table = [tuple(data[size + 4 * i + 2 - k] for k in range(3)) for i in range(colours)]
    stride = (width * bits + 31) // 32 * 4
    at = size + 4 * colours
    rows = []
    for y in range(height):
        row = data[at + (height - 1 - y) * stride:]
        rows.append([table[(row[x * bits // 8] >> (8 - bits - x * bits % 8)) & ((1 << bits) - 1)]
                     for x in range(width)])
    mask = None
    if icon:
        at += stride * height
        mstride = (width + 31) // 32 * 4
        mask = [[(data[at + (height - 1 - y) * mstride + x // 8] >> (7 - x % 8)) & 1
                 for x in range(width)] for y in range(height)]
    return width, height, bits, rows, mask


white, black, face, grey, glyph = (255, 255, 255), (0, 0, 0), (192, 192, 192), \
    (128, 128, 128), (128, 0, 0)
buttons = {}
for name in ["256_vexa", "256_ruda", "257", "258", "259"]:
    data = open("%s/%s.bmp" % (folder, name), "rb").read()
    if data[:2] != b"BM":
        problems.append(name + ": not a bitmap file")
        continue
    width, height, bits, rows, _ = dib(data[14:], False)
    if (width, height, bits) != (24, 24, 4):
        problems.append("%s: %dx%d at %d bits" % (name, width, height, bits))
        continue
    edges = [(rows[0][5], white), (rows[5][0], white), (rows[23][5], black), (rows[5][23], black),
             (rows[22][5], grey), (rows[5][22], grey), (rows[1][1], face)]
    if any(got != wanted for got, wanted in edges):
        problems.append(name + ": not a raised button")
    colours = {c for row in rows for c in row}
    if colours != {white, black, face, grey, glyph}:
        problems.append("%s: colours %s" % (name, sorted(colours)))
    ink = [(x, y) for y, row in enumerate(rows) for x, c in enumerate(row) if c == glyph]
    if len(ink) < 30 or min(x for x, _ in ink) < 2 or max(x for x, _ in ink) > 20:
        problems.append(name + ": the glyph does not sit on the face")
    buttons[name] = rows
if len(set(str(rows) for rows in buttons.values())) != len(buttons):
    problems.append("two buttons are the same")


def icon_images(name, kind):
    data = open("%s/%s" % (folder, name), "rb").read()
    reserved, type_, count = struct.unpack("<HHH", data[:6])
    if (reserved, type_) != (0, kind):
        problems.append(name + ": wrong file type")
        return []
    images = []
    for i in range(count):
        w, h, colours, _, first, second, size, offset = \
            struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        images.append(((w, h, first, second), dib(data[offset:offset + size], True)))
    return images


for name, wanted in [("256.ico", [(32, 4), (16, 4), (18, 4), (22, 4)]),
                     ("512.ico", [(32, 4), (32, 8), (16, 4), (48, 8)])]:
    images = icon_images(name, 1)
    got = [(image[0], image[2]) for _, image in images]
    if got != wanted:
        problems.append("%s holds %s" % (name, got))
    for entry, (width, height, bits, rows, mask) in images:
        if entry[:2] != (width, height) or entry[3] != bits:
            problems.append("%s: its directory does not match image %dx%d" % (name, width, height))
        if mask[0][0] != 1 or mask[height // 2][width // 2] != 0:
            problems.append("%s: %dx%d is not a shape on a clear ground" % (name, width, height))

cursor = icon_images("256.cur", 2)
if len(cursor) != 1:
    problems.append("256.cur holds %d images" % len(cursor))
else:
    (w, h, hot_x, hot_y), (width, height, bits, rows, mask) = cursor[0]
    if (width, height, bits, hot_x, hot_y) != (32, 32, 1, 13, 6):
        problems.append("256.cur: %dx%d, %d bits, hot spot (%d, %d)" %
                        (width, height, bits, hot_x, hot_y))
    elif mask[6][13] != 0 or any(mask[y][x] == 0 for y in range(6) for x in range(32)):
        problems.append("256.cur: the hot spot is not the fingertip")

for problem in problems:
    print("FAIL:", problem, file=sys.stderr)
sys.exit(1 if problems else 0)
PYTHON

exit $((failures > 0))
