#!/bin/sh
# Converting a 4096 x 4096 DXT5 texture to TGA, against copying the TGA that
# results with cp, in one hyperfine run; then the peak memory of one convert.
#
#   [BASELINE=old/skeinpress-cli] bench/convert_vs_copy.sh build/cli/skeinpress-cli
#
# BASELINE adds that build's conversion to the same run, for a comparison
# under the same load.
#
# Needs hyperfine and python3; GNU time (/usr/bin/time) for the memory figure.
set -eu

cli=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
if [ -n "${BASELINE:-}" ]; then
    baseline=$(cd "$(dirname "$BASELINE")" && pwd)/$(basename "$BASELINE")
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A container around 16 MiB of pseudo-random DXT5 blocks.
python3 - "$work/big.texture" <<'EOF'
import random, struct, sys
side = 4096
info = struct.pack("<iHHiiiiiiii4iiiiiii", 263, 1, 2, 1, 1, 12, side, side, 0, 0, 0,
                   0, 0, 0, 0, 1, 0, 0, 0, 0, 0)
data = random.Random(12345).randbytes(side * side)
with open(sys.argv[1], "wb") as f:
    f.write(b"JIRF" + struct.pack("<i", 0) + b"MMTFINFO" + struct.pack("<i", len(info)) + info)
    f.write(b"MMAP" + struct.pack("<i", len(data)) + data)
EOF

cd "$work"
"$cli" convert big.texture >/dev/null
set -- --command-name convert "'$cli' convert big.texture" --command-name cp "cp big.tga copy.tga"
if [ -n "${BASELINE:-}" ]; then
    set -- "$@" --command-name baseline "'$baseline' convert big.texture"
fi
hyperfine --warmup 2 --runs 15 --export-json times.json "$@"
python3 - times.json <<'PY'
import json, sys
runs = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
for name, r in runs.items():
    print(f"{name}: median {r['median'] * 1000:.1f} ms, user {r['user'] * 1000:.1f} ms, system {r['system'] * 1000:.1f} ms")
print(f"convert / cp, medians: {runs['convert']['median'] / runs['cp']['median']:.2f}")
if "baseline" in runs:
    print(f"baseline / cp, medians: {runs['baseline']['median'] / runs['cp']['median']:.2f}")
PY

if [ -x /usr/bin/time ]; then
    /usr/bin/time -v "$cli" convert big.texture 2>&1 >/dev/null | grep -E 'Maximum resident|Elapsed'
    /usr/bin/time -v cp big.tga copy.tga 2>&1 | grep -E 'Maximum resident|Elapsed'
fi
