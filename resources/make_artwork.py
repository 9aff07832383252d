#!/usr/bin/env python3
"""Draws the program's own artwork and writes it as the resource files beside this script.

Run it after changing a drawing; the generated files are committed so that a build needs
no Python.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def icon_pixels(size):
    """A shield with two crossed blades: one emblem for two games. Returns BGRA rows, top first."""
    rows = []
    c = (size - 1) / 2.0
    for y in range(size):
        row = []
        for x in range(size):
            u = (x - c) / (size / 2.0)
            v = (y - c) / (size / 2.0)
            inside = abs(u) < 0.82 and v < 0.9 and (v < 0.1 or abs(u) < 0.82 * (0.9 - v) / 0.8)
            if not inside:
                row.append((0, 0, 0, 0))
                continue
            edge = abs(u) > 0.66 or v < -0.72
            blade = abs(u - v) < 0.14 or abs(u + v) < 0.14
            if edge:
                row.append((40, 160, 210, 255))
            elif blade:
                row.append((235, 235, 235, 255))
            else:
                shade = int(90 + 60 * (1 - (v + 1) / 2))
                row.append((shade, 40, 30, 255))
        rows.append(row)
    return rows


def ico_image(size):
    rows = icon_pixels(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes(p) for row in reversed(rows) for p in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def write_icon(path, sizes):
    images = [ico_image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


# --- 8-bit page bitmaps ------------------------------------------------------------------------
#
# Both bitmaps carry the same 256-entry colour table, because the program builds one palette for
# the whole process from whichever bitmap it loads first. Entries 10 to 31 are the ramp that the
# program recolours from the system colours: only the backdrop tile uses them; the header picture
# keeps out of them so that it never changes colour.

RAMP_FIRST, RAMP_LAST = 10, 31
CUBE_FIRST = 32
CUBE_LEVELS = (0, 51, 102, 153, 204, 255)
STATIC_COLOURS = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128),
                  (128, 0, 128), (0, 128, 128), (192, 192, 192), (192, 220, 192), (166, 202, 240)]
EXTRA_COLOURS = [(32, 32, 32), (64, 64, 64), (96, 96, 96), (160, 160, 164), (224, 224, 224),
                 (255, 251, 240), (128, 128, 128), (255, 255, 255)]
# Shown until the program recolours the ramp: a warm shadow rising to a pale face colour.
DEFAULT_RAMP_LOW = (128, 124, 112)
DEFAULT_RAMP_HIGH = (240, 236, 222)


def ramp_entry(k, low, high):
    """Entry 10 + k as the program computes it (its divisor is 22, not 21)."""
    return tuple((k * h + (21 - k) * l) // 22 for h, l in zip(high, low))


def colour_table():
    table = list(STATIC_COLOURS)
    table += [ramp_entry(k, DEFAULT_RAMP_LOW, DEFAULT_RAMP_HIGH) for k in range(22)]
    table += [(r, g, b) for r in CUBE_LEVELS for g in CUBE_LEVELS for b in CUBE_LEVELS]
    table += EXTRA_COLOURS
    assert len(table) == 256
    return table


def write_bmp8(path, rows):
    """Rows of colour-table indexes, top first, as an 8-bit BMP with a full colour table."""
    height, width = len(rows), len(rows[0])
    stride = (width + 3) // 4 * 4
    pixels = b''.join(bytes(row) + bytes(stride - width) for row in reversed(rows))
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in colour_table())
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(header + info + table + pixels)


BAYER4 = ((0, 8, 2, 10), (12, 4, 14, 6), (3, 11, 1, 9), (15, 7, 13, 5))


def cube_index(x, y, rgb):
    """Ordered dithering into the colour cube, so gradients keep their shape in 216 colours."""
    threshold = (BAYER4[y % 4][x % 4] + 0.5) / 16.0
    levels = [min(5, max(0, int(c / 51.0 + threshold))) for c in rgb]
    return CUBE_FIRST + levels[0] * 36 + levels[1] * 6 + levels[2]


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(round(p + (q - p) * t)) for p, q in zip(a, b))


def inside_shield(u, v):
    """The icon's shield outline in unit coordinates (-1..1 across, -1 top to 1 bottom)."""
    return abs(u) < 0.9 and -1.0 < v < 1.0 and (v < 0.15 or abs(u) < 0.9 * (1.0 - v) / 0.85)


def in_numeral(px, py, count):
    """Roman numeral I or II, 13 pixels tall, centred on the origin, as serif bars."""
    if abs(py) > 6.5:
        return False
    for i in range(count):
        cx = (i - (count - 1) / 2.0) * 6.0
        if abs(px - cx) < 1.6:
            return True
        if abs(py) > 4.5 and abs(px - cx) < 3.2:
            return True
    return False


def header_rgb(x, y, w=132, h=82):
    """Two shields, one per game, hung either side of a setup gear, against a dusk sky."""
    horizon = 58
    # Frame: a dark line with a light bevel inside it.
    if x in (0, w - 1) or y in (0, h - 1):
        return (28, 26, 44)
    if x == 1 or y == 1:
        return (214, 206, 190)
    if x == w - 2 or y == h - 2:
        return (84, 76, 70)
    # Sky, hills and the setting sun.
    sky = mix((24, 34, 92), (236, 150, 70), (y - 2) / float(horizon - 2))
    sun = math.hypot(x - 66, y - (horizon + 2)) < 15
    colour = (250, 214, 110) if sun else sky
    hill_far = horizon + 4 + 5 * math.sin(x / 11.0) + 3 * math.sin(x / 5.3 + 1)
    hill_near = horizon + 12 + 4 * math.sin(x / 17.0 + 2) + 2 * math.sin(x / 7.0)
    if y > hill_far:
        colour = (70, 52, 78)
    if y > hill_near:
        colour = mix((44, 38, 54), (24, 20, 30), (y - hill_near) / 12.0)
    # The gear: eight teeth, a rim and a hub hole.
    gx, gy = x - 66, y - 30
    r = math.hypot(gx, gy)
    tooth = math.cos(8 * math.atan2(gy, gx)) > 0.25
    if 3.5 <= r and (r < 10.5 or (r < 13 and tooth)):
        shade = 0.5 + 0.5 * ((-gx - gy) / r) * min(1.0, r / 12.0)
        colour = mix((96, 100, 116), (226, 230, 238), shade)
        if 5.5 < r < 6.5:
            colour = (70, 74, 90)
    # Shields: red for the first game, blue for the second, each with its numeral.
    for cx, body, count in ((30, (170, 32, 30), 1), (102, (34, 64, 170), 2)):
        u, v = (x - cx) / 15.0, (y - 33) / 22.0
        if inside_shield(u, v):
            edge = not inside_shield(u * 1.16, (v + 0.06) * 1.12)
            if edge:
                colour = (232, 186, 62)
            else:
                colour = mix(body, tuple(c // 2 for c in body), (v + 1) / 2.0)
                if in_numeral(x - cx, y - 31, count):
                    colour = (246, 212, 96)
    return colour


def header_rows():
    return [[cube_index(x, y, header_rgb(x, y)) for x in range(132)] for y in range(82)]


def backdrop_rows(size=96):
    """A woven linen texture in ramp entries only; every term repeats within the tile."""
    def wave(n, period, phase=0.0):
        return math.sin(2 * math.pi * n / period + phase)

    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            weave = 0.5 * wave(x, 6) * wave(y, 6, 1.0) + 0.5 * wave(x + y, 12)
            cloud = wave(x, 96) * wave(y, 48, 0.7) + 0.6 * wave(x - y, 32)
            # A small hash that repeats with the tile keeps the cloth from looking printed.
            grain = ((x * 73 + y * 151 + (x * y) % 17 * 29) % 11) / 10.0 - 0.5
            level = 16.5 + 2.2 * weave + 1.6 * cloud + 1.2 * grain
            index = RAMP_FIRST + min(21, max(0, int(round(level))))
            row.append(index)
        rows.append(row)
    return rows


if __name__ == '__main__':
    write_icon(os.path.join(HERE, 'KestSetup.ico'), [16, 32])
    write_bmp8(os.path.join(HERE, 'Header.bmp'), header_rows())
    write_bmp8(os.path.join(HERE, 'Backdrop.bmp'), backdrop_rows())
