#!/usr/bin/env bash
# Builds the release tree and makes the Debian package of both programs,
# build/skeinpress_<version>_amd64.deb, which installs with
# `apt install ./build/skeinpress_<version>_amd64.deb`. The Windows zip comes
# from scripts/windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
cd build
cpack -G DEB >/dev/null
ls "$PWD"/skeinpress_*.deb
