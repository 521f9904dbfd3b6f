#!/usr/bin/env bash
# Configures and builds the release tree in ./build (or the folder given); any
# further arguments go to cmake. SKEINPRESS_WERROR=ON in the environment turns
# compiler warnings into errors, as CI does.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DSKEINPRESS_WERROR="${SKEINPRESS_WERROR:-OFF}" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
