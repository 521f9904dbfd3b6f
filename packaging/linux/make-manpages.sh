#!/usr/bin/env bash
# Regenerates the manual page of skeinpress-cli, packaging/linux/skeinpress-cli.1,
# from the built program's --help and --version with
# help2man (Debian: help2man), and stamps the same version and date into the
# hand-written page of the desktop program, skeinpress.1, which has no --help.
# Run it after the help text changes and commit both pages:
#   bash packaging/linux/make-manpages.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
cli=${1:-$root/build}/cli/skeinpress-cli
# The page's date: the last commit's, so regenerating changes nothing else.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
export LC_ALL=C.UTF-8
version=$(sed -n 's/^project(Skeinpress VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")

# The first line of --version only: what follows it describes this build (the
# codecs it was built with), not the program.
if ! version_string=$("$cli" --version 2>/dev/null | head -n 1) || [ -z "$version_string" ]; then
  version_string="skeinpress-cli $version"
fi
help2man --no-info --section=1 \
  --name="convert Trainz textures and images to TGA without a window" \
  --include="$here/skeinpress-cli.h2m" --version-string="$version_string" \
  --output="$here/skeinpress-cli.1" "$cli"

month=$(date -u -d "@$SOURCE_DATE_EPOCH" '+%B %Y')
sed -i "1s/.*/.TH SKEINPRESS \"1\" \"$month\" \"skeinpress $version\" \"User Commands\"/" \
  "$here/skeinpress.1"
