#!/usr/bin/env bash
# The main job on the bundled samples: install, build, then convert a copy of
# samples/ and show what was written.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
work="${TMPDIR:-/tmp}/skeinpress-samples"
rm -rf "$work" "$work-home"
cp -r samples "$work"
rm -f "$work"/*.py
echo "== Trawling the samples in $work (textures, bitmaps and JPEGs; uniform colours repaired)"
./build/cli/skeinpress-cli --home "$work-home" trawl --textures --bmp --jpg --fix-uniform "$work"
echo "== What was written"
ls -l "$work"
echo "== The trawl log ($work-home/Trawl_Log.txt)"
cat "$work-home/Trawl_Log.txt"
