#!/bin/sh
# The thumbnailer as a file manager runs it: the Exec line of
# data/skeinpress.thumbnailer with %s, %i and %o filled in, the program found
# through PATH (its TryExec), timed from start to exit on a 2,048 x 2,048 DXT5
# texture in each container (all mip levels), a DXT5 cube map of six
# 1,024 x 1,024 faces, a 2,048 x 2,048 32-bit TGA, and a 256 x 256 DXT5
# texture: what a thumbnail would cost if the reader handed over a mip level
# that fits. Prints the median and range of the wall and processor times, the
# wall time of "info" (loading alone, with the uniform-colour check) and the
# PNG each writes.
#
#   [RUNS=20] [SIZE=256] bench/thumbnail_bench.sh build/cli/skeinpress-cli
#
# Needs python3. Other work on the machine stretches the wall times (the load
# average is printed before and after); the processor times suffer less.
set -eu

cli=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
entry=$(cd "$(dirname "$0")/.." && pwd)/data/skeinpress.thumbnailer
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# What a file manager finds as "skeinpress-cli" is this build.
mkdir "$work/bin"
ln -s "$cli" "$work/bin/skeinpress-cli"

python3 - "$work" "$entry" "${RUNS:-20}" "${SIZE:-256}" <<'PY'
import os, random, shlex, statistics, struct, subprocess, sys, time
work, entry, runs, size = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
rng = random.Random(20261207)


def dxt5_levels(side):
    """DXT5 blocks for every level from side x side down to 1 x 1: end points
    drawn from gradients, pseudo-random indices. They cost the decoder what
    drawn pictures cost, and the thumbnail is a picture, not noise."""
    levels = []
    while True:
        blocks = max(1, side // 4)
        indices = rng.randbytes(blocks * blocks * 10)
        level = bytearray()
        for by in range(blocks):
            for bx in range(blocks):
                u, v = bx * 255 // blocks, by * 255 // blocks
                k = (by * blocks + bx) * 10
                # Near end points, as in a drawn picture: a fine grain, not noise.
                colour = ((u >> 3) << 11) | ((v >> 2) << 5) | 16
                level += struct.pack("<BB6sHH4s", 255 - u // 4, 239 - u // 4, indices[k:k + 6],
                                     colour, colour ^ (3 << 5), indices[k + 6:k + 10])
        levels.append(bytes(level))
        if side == 1:
            return levels
        side //= 2


def jirf(side):
    levels = dxt5_levels(side)
    info = struct.pack("<iHHiiiiiiii4iiiiiii", 263, 1, 2, len(levels), 1, 12, side, side, 0, 2,
                       2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0)
    chunks = b"".join(b"MMAP" + struct.pack("<i", len(l)) + l for l in reversed(levels))
    return b"JIRF" + struct.pack("<i", 0) + b"MMTFINFO" + struct.pack("<i", len(info)) + info + chunks


def e2tf(side, faces):
    """Level 0 first in the size table, smallest level first in the data."""
    levels = list(zip(*(dxt5_levels(side) for _ in range(faces))))
    header = b"FT2E" + struct.pack("<III", 7, side, side)
    header += bytes([0, len(levels), 3, 2 if faces == 6 else 0, faces, 3, 3, 1]) + b"5txd"
    header += bytes([120, 110, 100, 255])
    table = b"".join(struct.pack("<I", len(f)) for level in levels for f in level)
    return header + table + b"".join(f for level in reversed(levels) for f in level)


def tga(side):
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, side, side, 32, 8)
    row = bytes((x * 7) & 255 for x in range(side * 4))
    return header + b"".join(row[y % 256:] + row[:y % 256] for y in range(side))


inputs = {
    "JIRF DXT5 2048^2": ("jirf.texture", jirf(2048)),
    "E2TF DXT5 2048^2": ("e2tf.texture", e2tf(2048, 1)),
    "cube map 6 x 1024^2": ("cube.texture", e2tf(1024, 6)),
    "TGA 32-bit 2048^2": ("picture.tga", tga(2048)),
    # What the thumbnail would cost if the reader gave it a level that fits.
    "E2TF DXT5 256^2": ("small.texture", e2tf(256, 1)),
}
for name, data in inputs.values():
    with open(os.path.join(work, name), "wb") as f:
        f.write(data)

exec_line = next(line.split("=", 1)[1].strip() for line in open(entry)
                 if line.startswith("Exec="))
env = dict(os.environ, PATH=os.path.join(work, "bin") + os.pathsep + os.environ["PATH"])


def command(path, out):
    fill = {"%s": size, "%i": path, "%o": out, "%u": "file://" + path}
    return [fill.get(word, word) for word in shlex.split(exec_line)]


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    width, height = struct.unpack(">II", head[16:24])
    return f"{width} x {height}, {os.path.getsize(path)} bytes"


def timed(argv):
    """Wall time and processor time (user + system) of one run, in ms."""
    start = time.perf_counter()
    child = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    err = child.stderr.read()
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    child.stderr.close()
    if child.returncode != 0:
        sys.exit(f"{shlex.join(argv)}: exit {child.returncode}: {err.decode().strip()}")
    return wall * 1000, (usage.ru_utime + usage.ru_stime) * 1000


print(f"load average {os.getloadavg()[0]:.2f}; Exec={exec_line}; {runs} runs each; "
      "wall and processor (user + system) times in ms, median (range)")


def summary(times):
    return f"{statistics.median(times):6.1f} ({min(times):.1f}-{max(times):.1f})"


for label, (name, _) in inputs.items():
    path = os.path.join(work, name)
    out = os.path.join(work, name + ".png")
    walls, cpus, infos = [], [], []
    for run in range(runs + 2):  # the first two warm the caches
        wall, cpu = timed(command(path, out))
        info = timed([os.path.join(work, "bin", "skeinpress-cli"), "info", path])[0]
        if run >= 2:
            walls.append(wall)
            cpus.append(cpu)
            infos.append(info)
    print(f"{label:22} wall {summary(walls)}  processor {summary(cpus)}  "
          f"info wall {statistics.median(infos):6.1f}  PNG {png_size(out)}")
print(f"load average {os.getloadavg()[0]:.2f}")
print("as run:", shlex.join(command(os.path.join(work, "jirf.texture"),
                                    os.path.join(work, "jirf.texture.png"))))
PY
