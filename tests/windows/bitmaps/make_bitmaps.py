#!/usr/bin/env python3
"""Writes the bitmaps that the bitmap loader must refuse (4 and 24 bits per pixel) beside this
script. The generated files are committed."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write_bmp(path, width, height, bits, table, pixel_rows):
    pixels = b''.join(pixel_rows)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, len(pixels), 2835, 2835,
                       len(table) // 4, 0)
    offset = 14 + len(info) + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(header + info + table + pixels)


def four_bit(path, size=8):
    table = b''.join(struct.pack('<BBBB', 16 * i, 16 * i, 16 * i, 0) for i in range(16))
    stride = ((size * 4 + 31) // 32) * 4
    rows = [bytes(((x * 2) % 16) << 4 | ((x * 2 + 1) % 16) for x in range(size // 2)).ljust(
        stride, b'\0') for _ in range(size)]
    write_bmp(path, size, size, 4, table, rows)


def twenty_four_bit(path, size=8):
    stride = ((size * 24 + 31) // 32) * 4
    rows = [b''.join(struct.pack('<BBB', 32 * x, 32 * y, 200) for x in range(size)).ljust(
        stride, b'\0') for y in range(size)]
    write_bmp(path, size, size, 24, b'', rows)


if __name__ == '__main__':
    four_bit(os.path.join(HERE, 'four_bit.bmp'))
    twenty_four_bit(os.path.join(HERE, 'twenty_four_bit.bmp'))
