#!/usr/bin/env bash
# Checks what the Linux desktop reads of the program: the desktop entry, the
# AppStream metainfo, and that the MIME type names both texture containers by
# their first bytes. Tools that are not installed are skipped; exit 77 when
# none is there.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
ran=0

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/data/skeinpress.desktop"
  ran=1
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic \
    "$root/packaging/linux/io.github.skeinpress.skeinpress.metainfo.xml"
  ran=1
fi
if command -v update-mime-database >/dev/null && command -v gio >/dev/null; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  mkdir -p "$scratch/mime/packages"
  cp "$root/data/skeinpress-mime.xml" "$scratch/mime/packages/"
  update-mime-database "$scratch/mime" 2>/dev/null
  # Textures without their extension: only the first bytes tell.
  printf 'JIRF\0\0\0\0MMTFINFO' >"$scratch/jirf"
  printf 'FT2E\1\0\0\0\0\0\0\0' >"$scratch/e2tf"
  for file in jirf e2tf; do
    type=$(XDG_DATA_DIRS="$scratch:/usr/share" XDG_DATA_HOME="$scratch/none" \
      gio info -a standard::content-type "$scratch/$file" | sed -n 's/.*content-type: //p')
    if [ "$type" != application/x-trainz-texture ]; then
      echo "a $file texture without extension is $type" >&2
      exit 1
    fi
  done
  ran=1
fi
[ "$ran" = 1 ] || exit 77
