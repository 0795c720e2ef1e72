#!/usr/bin/env python3
"""Writes the bitmaps and the cursor that the toolkit tests load from their own module.

Each strip frame is one solid colour so that a test can tell from a single pixel
which frame a button painted. The colours avoid the grey shades that
LR_LOADMAP3DCOLORS replaces with system colours. Run it again only to change the
art; its output is kept next to it.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# (file, frame width, height, frame colours as (r, g, b))
STRIPS = [
    ("strip3.bmp", 103, 10, [(255, 0, 0), (0, 255, 0), (0, 0, 255)]),
    ("strip4.bmp", 152, 12, [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0)]),
    ("strip3_small.bmp", 50, 8, [(0, 255, 255), (255, 0, 255), (128, 0, 64)]),
]


def write_bmp(path, frame_width, height, colours):
    width = frame_width * len(colours)
    stride = (width * 3 + 3) & ~3
    row = bytearray()
    for r, g, b in colours:
        row += bytes((b, g, r)) * frame_width
    row += b"\0" * (stride - len(row))
    pixels = bytes(row) * height
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def write_cursor(path, hot_x, hot_y):
    # 32 x 32 monochrome: a filled square in the upper left quarter, transparent elsewhere.
    size = 32
    xor_rows, and_rows = [], []
    for y in range(size):
        inside = y < 16
        xor_rows.append(struct.pack(">I", 0))  # black where opaque
        and_rows.append(struct.pack(">I", 0x0000FFFF if inside else 0xFFFFFFFF))
    # DIB rows are stored bottom-up.
    xor = b"".join(reversed(xor_rows))
    mask = b"".join(reversed(and_rows))
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = info + palette + xor + mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hot_x, hot_y, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + entry + image)


if __name__ == "__main__":
    for name, frame_width, height, colours in STRIPS:
        write_bmp(os.path.join(HERE, name), frame_width, height, colours)
    write_cursor(os.path.join(HERE, "hand.cur"), 7, 0)
