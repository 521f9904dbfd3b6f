#!/bin/sh
# The headless trawl of a big tree, on one worker and on two, against copying
# the TGA files it writes with cp -r (whole, and in two halves copied side by
# side), timed in one run; then the peak memory of a trawl for one and two
# workers on trees of 100 and 500 textures.
#
#   [RUNS=7] [BASELINE=old/skeinpress-cli] bench/trawl_bench.sh build/cli/skeinpress-cli [FILES]
#
# BASELINE adds that build's trawls to the same rounds: two builds compared
# under the same load, which on a shared machine moves from minute to minute.
#
# FILES (default 520) textures of 64 to 1024 pixels a side in DXT1, DXT3, DXT5
# and uncompressed 32-bit, spread over nested folders. Needs python3; GNU time
# (/usr/bin/time) for the memory figures. Other work on the machine skews the
# times: the load average is printed before and after.
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

# The TGA files one trawl writes, on their own, for the copy; and the same
# files in two halves, for two copies running side by side.
"$cli" --home "$work/home" trawl --quiet --jobs 2 "$work/tree"
mkdir -p "$work/tgas" "$work/halves/a" "$work/halves/b"
(cd "$work/tree" && find . -name '*.tga' -print0 | xargs -0 cp --parents -t "$work/tgas")
(cd "$work/tgas" && for r in route0 route1 route2 route3; do cp -r $r ../halves/a/; done &&
    for r in route4 route5 route6 route7; do cp -r $r ../halves/b/; done)
echo "tree: $(find "$work/tree" -name '*.texture' | wc -l) textures, $(du -sh "$work/tree" | cut -f1) with their TGAs; TGAs alone $(du -sh "$work/tgas" | cut -f1)"

# Rounds of all four commands, the order turning each round: a file system
# remembers what was deleted a moment ago (ext4 without a journal looks past
# recently freed inodes when it creates files), so a command timed always
# after the others would pay for their clean-ups. The first round warms up.
python3 - "$cli" "$work" "${RUNS:-7}" "${BASELINE:-}" <<'PY'
import os, statistics, subprocess, sys, time
cli, work, runs, baseline = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
tree, copy = f"{work}/tree", f"{work}/copy"
def trawl(jobs, program=cli):
    return [program, "--home", f"{work}/home", "trawl", "--quiet", "--jobs", str(jobs), tree]
clean_tree = f"find '{tree}' -name '*.tga' -delete; sync"
commands = [
    ("trawl --jobs 1", clean_tree, trawl(1)),
    ("trawl --jobs 2", clean_tree, trawl(2)),
    ("cp -r", f"rm -rf '{copy}'; sync", ["cp", "-r", f"{work}/tgas", copy]),
    ("cp -r, two halves side by side", f"rm -rf '{copy}'; mkdir '{copy}'; sync",
     ["sh", "-c", f"cp -r '{work}/halves/a' '{copy}/a' & cp -r '{work}/halves/b' '{copy}/b'; wait"]),
]
if baseline:
    commands += [("baseline trawl --jobs 1", clean_tree, trawl(1, baseline)),
                 ("baseline trawl --jobs 2", clean_tree, trawl(2, baseline))]
wall = {name: [] for name, _, _ in commands}
cpu = {name: [] for name, _, _ in commands}
print(f"load average before: {open('/proc/loadavg').read().split()[:3]}")
for round_ in range(runs + 1):
    for k in range(len(commands)):
        name, prepare, argv = commands[(round_ + k) % len(commands)]
        subprocess.run(prepare, shell=True, check=True)
        start = time.perf_counter()
        child = subprocess.Popen(argv)
        _, status, usage = os.wait4(child.pid, 0)
        elapsed = time.perf_counter() - start
        if status != 0:
            sys.exit(f"{name} failed")
        if round_ > 0:
            wall[name].append(elapsed)
            cpu[name].append(usage.ru_utime + usage.ru_stime)
print(f"load average after: {open('/proc/loadavg').read().split()[:3]}")
median = {name: statistics.median(times) for name, times in wall.items()}
for name, _, _ in commands:
    print(f"{name}: median {median[name] * 1000:.0f} ms (min {min(wall[name]) * 1000:.0f}, "
          f"max {max(wall[name]) * 1000:.0f}), cpu median {statistics.median(cpu[name]) * 1000:.0f} ms")
one, two, cp, halves = (median[name] for name, _, _ in commands[:4])
print(f"--jobs 1 / --jobs 2: {one / two:.2f} (target >= 1.7)")
print(f"--jobs 2 / cp -r: {two / cp:.2f} (target <= 3)")
# What two cores give to plain file copying here: the ceiling for the part of
# the trawl that is the kernel reading and writing files.
print(f"cp -r / two halves side by side: {cp / halves:.2f}")
# What --jobs 2 gains over --jobs 1, against what two copies side by side gain
# over one: how close the trawl comes to the machine's own ceiling.
print(f"--jobs 2 gain / two copies' gain: {one / two:.2f} / {cp / halves:.2f} = "
      f"{100 * (one / two) / (cp / halves):.0f} % (target >= 90 %)")
if baseline:
    old_one, old_two = median["baseline trawl --jobs 1"], median["baseline trawl --jobs 2"]
    print(f"baseline --jobs 2 gain / two copies' gain: {old_one / old_two:.2f} / "
          f"{cp / halves:.2f} = {100 * (old_one / old_two) / (cp / halves):.0f} %")
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
