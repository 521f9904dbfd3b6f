#!/usr/bin/env bash
# Renders the application icon, data/skeinpress.svg, at the hicolor theme's
# fixed sizes into data/icons/hicolor/<N>x<N>/apps/skeinpress.png with
# rsvg-convert (Debian: librsvg2-bin). The PNGs are kept in the repository, so
# a build needs no SVG renderer; run this again after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/../.."
for size in 16 24 32 48 64 128 256; do
  dir=data/icons/hicolor/${size}x${size}/apps
  mkdir -p "$dir"
  rsvg-convert --width "$size" --height "$size" --format png \
    --output "$dir/skeinpress.png" data/skeinpress.svg
done
