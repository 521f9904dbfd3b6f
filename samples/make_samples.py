#!/usr/bin/env python3
"""Writes the small sample images bundled with Skeinpress (run from the
repository root). The pictures are drawn here, byte by byte; nothing is
downloaded. The JPEG is encoded from the BMP with libjpeg-turbo's cjpeg."""
import os
import struct
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))


def tga(name, w, h, depth, pixel):
    """pixel(x, y) -> (r, g, b[, a]) with y = 0 the bottom row."""
    header = struct.pack('<BBBHHBHHHHBB', 0, 0, 2, 0, 0, 0, 0, 0, w, h, depth, 8 if depth == 32 else 0)
    body = bytearray()
    for y in range(h):
        for x in range(w):
            p = pixel(x, y)
            body += bytes((p[2], p[1], p[0]) + ((p[3],) if depth == 32 else ()))
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(header + body)


def bmp(name, w, h, pixel):
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h):
        line = bytearray()
        for x in range(w):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        data += line + bytes(row - len(line))
    header = b'BM' + struct.pack('<IHHI', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(header + info + data)


# A brick wall: red-brown bricks with grey mortar.
def brick(x, y):
    mortar = y % 8 == 0 or (x + (4 if (y // 8) % 2 else 0)) % 16 == 0
    shade = (x * 7 + y * 13) % 23
    return (150, 150, 145) if mortar else (140 + shade, 60 + shade // 2, 40)


# A fence panel: planks with gaps that are transparent.
def fence(x, y):
    gap = x % 8 >= 6
    return (120 + y, 90 + y // 2, 50, 0 if gap else 255)


# Evening sky: a vertical gradient.
def sky(x, y):
    return (40 + y * 2, 80 + y * 2, 200 - y)


tga('brick_wall.tga', 64, 64, 24, brick)
tga('fence_panel.tga', 64, 32, 32, fence)
tga('flat_grey.tga', 16, 16, 24, lambda x, y: (128, 128, 128))
bmp('ballast.bmp', 32, 32, lambda x, y: ((x * 37 + y * 11) % 90 + 80,) * 3)
bmp('sky.bmp', 64, 64, sky)
subprocess.run(['cjpeg', '-outfile', os.path.join(HERE, 'sky.jpg'), os.path.join(HERE, 'sky.bmp')], check=True)
os.remove(os.path.join(HERE, 'sky.bmp'))
