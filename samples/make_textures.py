#!/usr/bin/env python3
"""Writes the sample Trainz textures in this folder from drawn patterns.

Standard library only. Run it from anywhere; the files land beside this script:
  station_wall.texture     64 x 64 DXT1, tiles in s and t
  signal_lamp.texture    64 x 64 DXT5 with graded alpha (a lamp glow)
  glass_panel.texture    32 x 32 uncompressed 32-bit with graded alpha
  route_sign.texture     64 x 32 DXT5 with graded alpha, in the newer E2TF
                         container with all seven mip levels
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def to565(r, g, b):
    return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)


def widen(c):
    # The reader's own widening: x8 and x4, low bits left empty.
    return ((c >> 11) * 8, ((c >> 5) & 63) * 4, (c & 31) * 8)


def four_colours(c0, c1):
    e0, e1 = widen(c0), widen(c1)
    c2 = tuple((2 * a) // 3 + b // 3 for a, b in zip(e0, e1))
    c3 = tuple(a // 3 + (2 * b) // 3 for a, b in zip(e0, e1))
    return [e0, e1, c2, c3]


def nearest(value, palette):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(value, palette[i])))


def colour_block(pixels):
    """pixels: 16 (r, g, b) in line order. Returns the 8-byte colour part."""
    lum = [r * 3 + g * 6 + b for r, g, b in pixels]
    c0 = to565(*pixels[lum.index(max(lum))])
    c1 = to565(*pixels[lum.index(min(lum))])
    if c0 < c1:
        c0, c1 = c1, c0
    if c0 == c1:
        return struct.pack("<HHI", c0, c1, 0)
    palette = four_colours(c0, c1)
    indices = 0
    for k, p in enumerate(pixels):
        indices |= nearest(p, palette) << (2 * k)
    return struct.pack("<HHI", c0, c1, indices)


def alpha_block(alphas):
    """DXT5 alpha part: a0, a1 and 48 bits of 3-bit indices."""
    a0, a1 = max(alphas), min(alphas)
    if a0 == a1:
        return bytes([a0, a1]) + bytes(6)
    palette = [a0, a1] + [((7 - i) * a0 + i * a1) // 7 for i in range(1, 7)]
    bits = 0
    for k, a in enumerate(alphas):
        bits |= min(range(8), key=lambda i: abs(palette[i] - a)) << (3 * k)
    return bytes([a0, a1]) + bits.to_bytes(6, "little")


def blocks(width, height, pixel):
    """Yields the 16 pixels (r, g, b, a) of each block, rows of blocks from the top."""
    for by in range(0, height, 4):
        for bx in range(0, width, 4):
            yield [pixel(bx + i, by + j) for j in range(4) for i in range(4)]


def container(fmt, width, height, chunk, alpha_hint=0, s_wrap=0, t_wrap=0):
    info = struct.pack("<iHHiiiiiiii4iiiiiii",
                       263, 1, 2, 1, 1, fmt, width, height, 0, s_wrap, t_wrap,
                       0, 0, 0, 0, alpha_hint, 0, 0, 0, 0, 0)
    return (b"JIRF" + struct.pack("<i", 0) + b"MMTFINFO" + struct.pack("<i", len(info)) + info
            + b"MMAP" + struct.pack("<i", len(chunk)) + chunk)


def brick(x, y):
    row = y // 8
    offset = 8 if row % 2 else 0
    mortar = y % 8 == 7 or (x + offset) % 16 == 15
    if mortar:
        return (200, 196, 180, 255)
    shade = 30 * (((x + offset) // 16 + row) % 3)
    return (150 + shade // 2, 60 + shade // 3, 40, 255)


def lamp(x, y):
    d = math.hypot(x - 31.5, y - 31.5) / 32.0
    glow = max(0.0, 1.0 - d)
    r = 255
    g = int(120 + 135 * glow)
    b = int(40 + 60 * glow)
    return (r, g, b, int(255 * glow ** 0.7))


def glass(x, y):
    return (40 + x * 5, 120 + y * 3, 220, 60 + (x + y) * 2)


def e2tf(code, width, height, levels, alpha_mode, s_wrap=3, t_wrap=3):
    """The newer container: codes stored reversed, a colour hint (the average
    colour), a size table (level 0 first), then the data, smallest level first."""
    faces = len(levels[0])
    header = b"FT2E" + struct.pack("<III", 7, width, height)
    header += bytes([0, len(levels), alpha_mode, 0, faces, s_wrap, t_wrap, 1]) + code
    pixels = [sign(x, y) for y in range(height) for x in range(width)]
    average = [sum(p[c] for p in pixels) // len(pixels) for c in range(4)]
    table = b"".join(struct.pack("<I", len(face)) for level in levels for face in level)
    data = b"".join(face for level in reversed(levels) for face in level)
    return header + bytes(average) + table + data


def sign(x, y):
    """A green route sign with a white border, fading out at its ends."""
    border = x < 3 or x > 60 or y < 3 or y > 28
    stripe = 12 <= y <= 19 and 10 <= x <= 53
    r, g, b = (240, 240, 230) if border or stripe else (20, 110, 60)
    return (r, g, b, int(255 * min(1.0, x / 6, (63 - x) / 6)))


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)
    print(name, len(data), "bytes")


def main():
    dxt1 = b"".join(colour_block([p[:3] for p in blk]) for blk in blocks(64, 64, brick))
    write("station_wall.texture", container(10, 64, 64, dxt1, s_wrap=2, t_wrap=2))

    dxt5 = b"".join(alpha_block([p[3] for p in blk]) + colour_block([p[:3] for p in blk])
                    for blk in blocks(64, 64, lamp))
    write("signal_lamp.texture", container(12, 64, 64, dxt5, alpha_hint=1))

    bgra = b"".join(bytes([b, g, r, a]) for y in range(32) for x in range(32)
                    for r, g, b, a in [glass(x, y)])
    write("glass_panel.texture", container(0, 32, 32, bgra, alpha_hint=1))

    levels = []
    width, height = 64, 32
    for k in range(7):
        scale_x, scale_y = 64 // width, 32 // height
        level = b"".join(alpha_block([p[3] for p in blk]) + colour_block([p[:3] for p in blk])
                         for blk in blocks(width, height,
                                           lambda x, y: sign(min(63, x * scale_x),
                                                             min(31, y * scale_y))))
        levels.append([level])
        width, height = max(1, width // 2), max(1, height // 2)
    write("route_sign.texture", e2tf(b"5txd", 64, 32, levels, alpha_mode=3))


if __name__ == "__main__":
    main()
