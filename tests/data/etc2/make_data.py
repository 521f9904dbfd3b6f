#!/usr/bin/env python3
"""Makes the ETC2 test pictures once: source PNGs drawn here, encoded and
decoded by etc2comp's EtcTool (a test-data tool only), kept as raw blocks
(.etc2) and raw RGB (.rgb, top row first). Usage: make_data.py ETCTOOL OUTDIR"""
import math, os, random, shutil, struct, subprocess, sys, tempfile, zlib


def write_png(path, w, h, rows):
    raw = b"".join(b"\0" + bytes(r) for r in rows)
    chunk = lambda t, d: struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def read_png_rgb(path):
    """Any non-interlaced 8-bit-or-less PNG as rows of R, G, B bytes."""
    data = open(path, "rb").read()
    pos, idat, palette = 8, b"", None
    while pos < len(data):
        n, t = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        if t == b"IHDR":
            w, h, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth <= 8 and interlace == 0
        elif t == b"PLTE":
            palette = [body[i:i + 3] for i in range(0, len(body), 3)]
        elif t == b"IDAT":
            idat += body
        pos += 12 + n
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[ctype]
    bpp, stride = max(1, channels * depth // 8), (w * channels * depth + 7) // 8
    raw, prev, rows = zlib.decompress(idat), bytearray(stride), []
    for y in range(h):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a, b = line[i - bpp] if i >= bpp else 0, prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            p = a + b - c
            paeth = a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c) else b if abs(p - b) <= abs(p - c) else c
            line[i] = (line[i] + [0, a, b, (a + b) // 2, paeth][f]) & 255
        bits = "".join(format(v, "08b") for v in line)
        samples = [int(bits[i:i + depth], 2) for i in range(0, w * channels * depth, depth)]
        px = [samples[i:i + channels] for i in range(0, len(samples), channels)]
        if ctype == 3:
            rows.append(b"".join(palette[p[0]] for p in px))
        else:
            scale = 255 // (2 ** depth - 1)
            rows.append(bytes(s * scale for p in px for s in (p[:3] if channels >= 3 else p[:1] * 3)))
        prev = line
    return w, h, rows


def pictures():
    rnd = random.Random(7)
    clamp = lambda v: max(0, min(255, int(v)))
    # Smooth light like a photo of sky and ground: planar and differential blocks.
    yield "gradients", 64, 64, lambda x, y: (clamp(40 + 3 * x), clamp(90 + 2 * y + 20 * math.sin(x / 9)),
                                             clamp(220 - 2 * x - y))
    # Hard edges between saturated colours: two-colour blocks take the T and H modes.
    cols = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (0, 255, 255), (255, 0, 255),
            (255, 255, 255), (0, 0, 0), (128, 64, 0), (30, 160, 90)]
    cells = {(i, j): (rnd.choice(cols), rnd.choice(cols), rnd.random()) for i in range(8) for j in range(8)}
    def edges(x, y):
        a, b, t = cells[(x // 8, y // 8)]
        return a if (x % 8) + t * (y % 8) < 4 + 2 * t else b
    yield "edges", 64, 64, edges
    # Flat areas with a little noise, and plain noise in one corner: individual blocks.
    def flat(x, y):
        if x >= 24 and y >= 24:
            return tuple(rnd.randrange(256) for _ in range(3))
        base = (200, 180, 40) if x < 16 else (60, 70, 200)
        return tuple(clamp(v + rnd.randrange(-6, 7)) for v in base)
    yield "flat", 32, 32, flat
    # Each block's left and right halves far apart in colour: individual blocks.
    halves = {(i, j): [tuple(rnd.randrange(256) for _ in range(3)) for _ in range(2)] for i in range(8) for j in range(8)}
    yield "halves", 32, 32, lambda x, y: tuple(clamp(v + (x + y) % 3) for v in halves[(x // 4, y // 4)][x % 4 // 2])
    # Two colours per block, each a shade lighter or darker at random: H blocks.
    shade = {(i, j): ([tuple(rnd.randrange(40, 216) for _ in range(3)) for _ in range(2)], rnd.randrange(8, 30))
             for i in range(8) for j in range(8)}
    def pairs(x, y):
        (c1, c2), d = shade[(x // 4, y // 4)]
        pick = rnd.randrange(4)
        return tuple(clamp(v + (d if pick % 2 else -d)) for v in (c1 if pick < 2 else c2))
    yield "pairs", 32, 32, pairs
    # One of each: planar, individual, H, T and differential blocks side by side.
    def mixed(x, y):
        part = x // 4 % 5 if y < 8 else (x // 4 + 2) % 5
        return [lambda: (clamp(30 + 9 * x), clamp(200 - 7 * y), clamp(60 + 5 * x + 5 * y)),
                lambda: halves[(x // 4, y // 4)][x % 4 // 2], lambda: pairs(x, y),
                lambda: edges(x + 3, y + 2), lambda: flat(x, y)][part]()
    yield "mixed", 24, 12, mixed
    # Sides that are not multiples of 4: the edge blocks hold padding.
    yield "odd", 13, 7, lambda x, y: (clamp(x * 19), clamp(255 - y * 30), 255 if (x + y) % 5 == 0 else 20)


def count_modes(blocks):
    """How many blocks use each mode, classified from the mode bits alone."""
    counts = dict.fromkeys(("individual", "differential", "T", "H", "planar"), 0)
    for i in range(0, len(blocks), 8):
        high = struct.unpack(">I", blocks[i:i + 4])[0]
        # A 5-bit colour channel plus the 3-bit signed offset below it.
        second = lambda shift: ((high >> shift) & 31) + (((high >> (shift - 3)) & 7) ^ 4) - 4
        mode = ("individual" if not high & 2 else "T" if not 0 <= second(27) <= 31
                else "H" if not 0 <= second(19) <= 31 else "planar" if not 0 <= second(11) <= 31
                else "differential")
        counts[mode] += 1
    return counts


def ktx_blocks(path):
    data = open(path, "rb").read()
    kv = struct.unpack("<I", data[60:64])[0]
    start = 64 + kv
    size = struct.unpack("<I", data[start:start + 4])[0]
    return data[start + 4:start + 4 + size]


def texture(fmt, w, h, chunk):
    """A classic container of version 259 with one image chunk: both wrap modes 2."""
    info = struct.pack("<15I", 259, 0, 1, 1, fmt, w, h, 0, 2, 2, 0, 0, 0, 0, 0)
    return (b"JIRF" + struct.pack("<I", 0) + b"MMTFINFO" + struct.pack("<I", len(info)) + info
            + b"MMAP" + struct.pack("<I", len(chunk)) + chunk)


def main():
    tool, out = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    work = tempfile.mkdtemp()
    for name, w, h, f in pictures():
        src, ktx, analyze = (os.path.join(work, name + e) for e in (".png", ".ktx", "_analyze"))
        write_png(src, w, h, [[c for x in range(w) for c in f(x, y)] for y in range(h)])
        subprocess.run([tool, src, "-format", "RGB8", "-analyze", analyze, "-output", ktx],
                       check=True, stdout=subprocess.DEVNULL)
        open(os.path.join(out, name + ".etc2"), "wb").write(ktx_blocks(ktx))
        dw, dh, rows = read_png_rgb(os.path.join(analyze, "Decoded.png"))
        assert dw >= w and dh >= h, (name, dw, dh)  # decoded at the padded size
        open(os.path.join(out, name + ".rgb"), "wb").write(b"".join(r[:3 * w] for r in rows[:h]))
        print(name, w, h, count_modes(ktx_blocks(ktx)))
    shutil.rmtree(work)
    # Format 28 holds ETC2 blocks; format 13 is a DXT5 variant, given here 16 x 8
    # pixels of arbitrary (seeded) DXT5 blocks, which decode as they would in format 12.
    mixed = open(os.path.join(out, "mixed.etc2"), "rb").read()
    open(os.path.join(out, "mixed_format28.texture"), "wb").write(texture(28, 24, 12, mixed))
    rnd = random.Random(13)
    dxt5 = bytes(rnd.randrange(256) for _ in range(4 * 2 * 16))
    open(os.path.join(out, "dxt5_format13.texture"), "wb").write(texture(13, 16, 8, dxt5))


if __name__ == "__main__":
    main()
