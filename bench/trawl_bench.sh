#!/bin/sh
# The headless trawl of a big tree, on one worker and on two, against copying
# the TGA files it writes with cp -r, in one hyperfine run; then the peak
# memory of a trawl for one and two workers on trees of 100 and 500 textures.
#
#   bench/trawl_bench.sh build/cli/skeinpress-cli [FILES]
#
# FILES (default 520) textures of 64 to 1024 pixels a side in DXT1, DXT3, DXT5
# and uncompressed 32-bit, spread over nested folders. Needs hyperfine and
# python3; GNU time (/usr/bin/time) for the memory figures. Other work on the
# machine skews the times: the load average is printed before and after.
set -eu

cli=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
files=${2:-520}
# TMPDIR picks the file system: TMPDIR=/dev/shm measures the program without the disk.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Pseudo-random blocks: decoding costs the same as for drawn pictures, and no
# texture comes out as one uniform colour.
make_tree() {
    python3 - "$1" "$2" <<'EOF'
import os, random, struct, sys
root, count = sys.argv[1], int(sys.argv[2])
rng = random.Random(20261206)
sides = [64] * 6 + [128] * 5 + [256] * 4 + [512] * 3 + [1024] * 2
formats = [10, 11, 12, 0]  # DXT1, DXT3, DXT5, uncompressed 32-bit
for i in range(count):
    folder = os.path.join(root, "route%d" % (i % 8), "assets%d" % (i % 3))
    os.makedirs(folder, exist_ok=True)
    side, fmt = rng.choice(sides), formats[i % 4]
    size = side * side * 4 if fmt == 0 else (side // 4) * (side // 4) * (8 if fmt == 10 else 16)
    info = [259, 0, 1, 1, fmt, side, side, 0, 2, 2, 0, 0, 0, 0, 0]
    with open(os.path.join(folder, "tex%04d.texture" % i), "wb") as f:
        f.write(b"JIRF" + struct.pack("<i", 0) + b"MMTFINFO" + struct.pack("<i", 60))
        f.write(struct.pack("<15i", *info))
        f.write(b"MMAP" + struct.pack("<i", size) + rng.randbytes(size))
EOF
}

make_tree "$work/tree" "$files"
make_tree "$work/small" 100
mkdir -p "$work/home"
trawl="'$cli' --home '$work/home' trawl --quiet"
clean="find '$work/tree' -name '*.tga' -delete"

# The TGA files one trawl writes, on their own, for the copy.
"$cli" --home "$work/home" trawl --quiet --jobs 2 "$work/tree"
mkdir -p "$work/tgas"
(cd "$work/tree" && find . -name '*.tga' -print0 | xargs -0 cp --parents -t "$work/tgas")
echo "tree: $(find "$work/tree" -name '*.texture' | wc -l) textures, $(du -sh "$work/tree" | cut -f1) with their TGAs; TGAs alone $(du -sh "$work/tgas" | cut -f1)"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"

hyperfine --warmup 1 --runs 7 --export-json "$work/times.json" \
    --prepare "$clean; sync" --command-name "trawl --jobs 1" "$trawl --jobs 1 '$work/tree'" \
    --prepare "$clean; sync" --command-name "trawl --jobs 2" "$trawl --jobs 2 '$work/tree'" \
    --prepare "rm -rf '$work/copy'; sync" --command-name "cp -r" "cp -r '$work/tgas' '$work/copy'"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

python3 - "$work/times.json" <<'PY'
import json, sys
runs = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
for name, r in runs.items():
    print(f"{name}: median {r['median'] * 1000:.0f} ms, cpu (user+sys, mean) {(r['user'] + r['system']) * 1000:.0f} ms")
one, two, cp = (runs[n]["median"] for n in ("trawl --jobs 1", "trawl --jobs 2", "cp -r"))
print(f"--jobs 1 / --jobs 2: {one / two:.2f} (target >= 1.7)")
print(f"--jobs 2 / cp -r: {two / cp:.2f} (target <= 3)")
PY

if [ -x /usr/bin/time ]; then
    for tree in small tree; do
        for jobs in 1 2; do
            find "$work/$tree" -name '*.tga' -delete
            peak=$(/usr/bin/time -f '%M' "$cli" --home "$work/home" trawl --quiet --jobs $jobs "$work/$tree" 2>&1 >/dev/null | tail -1)
            echo "peak memory, $(find "$work/$tree" -name '*.texture' | wc -l) textures, --jobs $jobs: $peak KiB"
        done
    done
fi
