#!/usr/bin/env bash
# Makes the two Debian packages in ./build-deb (or the folder given):
#   skeinpress-cli_<version>_amd64.deb  the headless converter, no Qt
#   skeinpress_<version>_amd64.deb      the desktop program; needs the first
# Install both with `apt install ./build-deb/*.deb`. The packages are
# reproducible: every time stamp in them is the last commit's date
# (SOURCE_DATE_EPOCH), so the same commit built again from a clean folder of
# any name gives the same bytes. lintian checks them when it is installed.
# The Windows zip comes from scripts/windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build-deb}"
umask 022
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
fi
export SOURCE_DATE_EPOCH
export LC_ALL=C.UTF-8 TZ=UTC
bash scripts/install-deps.sh
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD"
fi
# The paths of this folder are not kept in the programs; libc's checked
# versions of the string and memory functions where sizes are known.
flags="-ffile-prefix-map=$PWD/= -D_FORTIFY_SOURCE=2"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSKEINPRESS_BUILD_TESTS=OFF \
  -DSKEINPRESS_BUILD_BENCH=OFF -DSKEINPRESS_WERROR="${SKEINPRESS_WERROR:-OFF}" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  "${launcher[@]}" >/dev/null
# The window's compiled-in resources carry SOURCE_DATE_EPOCH as their time,
# a change the build cannot see: they are made afresh every time.
find "$dir" -path '*_autogen*' -name 'qrc_*.cpp' -delete
cmake --build "$dir" -j "$(nproc)"
(cd "$dir" && rm -f ./*.deb && cpack -G DEB >/dev/null)
ls "$PWD/$dir"/*.deb
if command -v lintian >/dev/null; then
  lintian --display-info "$dir"/*.deb
fi
