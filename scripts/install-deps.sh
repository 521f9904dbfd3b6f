#!/usr/bin/env bash
# Installs everything Skeinpress needs to build, test and benchmark on Debian 12,
# or, given package names, those packages (scripts/windows.sh names its own).
# Run as root (or through sudo). When every package is already installed it
# says so and returns at once, without asking the package manager.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
    g++ cmake ninja-build pkg-config dpkg-dev
    qt6-base-dev libgl-dev
    libjpeg-dev libjpeg-turbo-progs libpng-dev libastcenc-dev libstb-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    clang clang-format libclang-rt-14-dev
    python3 xvfb xauth fonts-dejavu-core
)
[[ $# -gt 0 ]] && packages=("$@")
# One query for all of them; a package it does not know counts as missing.
installed=$(dpkg-query -W -f='${db:Status-Status} ${Package}\n' "${packages[@]}" 2>/dev/null |
    awk '$1 == "installed" { print $2 }' || true)
missing=()
for package in "${packages[@]}"; do
    grep -qx "$package" <<<"$installed" || missing+=("$package")
done
if [[ ${#missing[@]} -eq 0 ]]; then
    echo "install-deps: every package is already installed"
    exit 0
fi
echo "install-deps: installing ${missing[*]}"
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
