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


if __name__ == '__main__':
    write_icon(os.path.join(HERE, 'KestSetup.ico'), [16, 32])
