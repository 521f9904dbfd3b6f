#!/usr/bin/env bash
# Installs everything Skeinpress needs to build, test and benchmark on Debian 12.
# Run as root (or through sudo).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends \
    g++ cmake ninja-build pkg-config \
    qt6-base-dev libgl-dev \
    libjpeg-dev libjpeg-turbo-progs \
    libgtest-dev libgmock-dev libbenchmark-dev \
    clang libclang-rt-14-dev \
    python3 xvfb xauth fonts-dejavu-core >/dev/null
