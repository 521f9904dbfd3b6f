#!/usr/bin/env bash
# The main job on the bundled samples: install, build, then convert a copy of
# samples/ and show what was written.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
work="${TMPDIR:-/tmp}/skeinpress-samples"
rm -rf "$work"
cp -r samples "$work"
rm -f "$work/make_samples.py"
echo "== Converting the samples in $work"
./build/cli/skeinpress-cli convert "$work"/*.tga "$work"/*.texture "$work"/*.bmp "$work"/*.jpg || true
echo "== What was written"
ls -l "$work"
./build/cli/skeinpress-cli info "$work"/*.tga
