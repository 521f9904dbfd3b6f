#!/bin/sh
# Exporting an 8192 x 8192 32-bit TGA to PNG: wall time, peak memory and the
# size of the PNG, from /usr/bin/time -v. The picture is smooth gradients with
# a little noise, as a photograph or a painted texture is.
#
#   bench/png_export.sh build/cli/skeinpress-cli [RUNS]
#
# Needs python3 and GNU time (/usr/bin/time).
set -eu

cli=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
runs=${2:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work/big.tga" <<'PY'
import random, struct, sys
side = 8192
noise = random.Random(8192).randbytes(side * 4 + 1021)
with open(sys.argv[1], "wb") as f:
    f.write(struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, side, side, 32, 8))
    for y in range(side):
        row = bytearray(side * 4)
        row[0::4] = bytes((x >> 5) & 0xFF for x in range(side))
        row[1::4] = bytes([(y >> 5) & 0xFF]) * side
        row[2::4] = bytes(((x + y) >> 6) & 0xFF for x in range(side))
        row[3::4] = bytes([255]) * side
        start = (y * 7) % 1021
        for c in range(3):
            # Low bits of noise on the colour channels.
            row[c::4] = bytes(v ^ (n & 3) for v, n in zip(row[c::4], noise[start + c:start + c + side]))
        f.write(row)
PY

cd "$work"
i=0
while [ "$i" -lt "$runs" ]; do
    rm -f big.png
    /usr/bin/time -v "$cli" convert big.tga --output big.png 2>time.txt >/dev/null
    wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' time.txt)
    peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' time.txt)
    echo "run $((i + 1)): wall $wall, peak $((peak / 1024)) MB, PNG $(($(wc -c <big.png) / 1048576)) MB"
    i=$((i + 1))
done
echo "TGA $(($(wc -c <big.tga) / 1048576)) MB"
