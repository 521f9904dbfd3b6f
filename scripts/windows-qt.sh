#!/usr/bin/env bash
# Cross-builds Qt for 64-bit Windows, statically, from Debian's own qt6-base
# source (the version the Linux build uses) with MinGW-w64, into the machine's
# cache (scripts/windows-common.sh). Prints the prefix it is installed in.
# With --where it only prints that prefix, and fails when Qt is not there yet.
# Nothing is done when that prefix is already complete: its name carries the
# recipe's number and the compiler's version, and its .complete mark is
# written only once Qt is wholly installed. Takes about 16 minutes on two idle
# cores, longer on a busy machine.
# Needs scripts/windows.sh's packages and Debian's Qt host tools
# (qt6-base-dev-tools), which the cross build runs instead of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/windows-common.sh

# Raise this when the options below change: a new prefix is then built.
recipe=1
if [[ ${1:-} == --where ]]; then
    compiler_version=$("$triplet-g++-posix" -dumpfullversion 2>/dev/null) || exit 1
    qt=$deps/qt-r$recipe-gcc$compiler_version
    echo "$qt"
    [[ -f $qt/.complete ]]
    exit
fi
bash scripts/install-deps.sh g++-mingw-w64-x86-64-posix dpkg-dev cmake ninja-build \
    qt6-base-dev qt6-base-dev-tools >&2
compiler_version=$("$triplet-g++-posix" -dumpfullversion)
qt=$deps/qt-r$recipe-gcc$compiler_version
if [[ -f $qt/.complete ]]; then
    echo "$qt"
    exit 0
fi

# Each qt_attribution.json names its licence file beside it.
copy_bundled_licences() {
    local src=$1 out=$2 json dir name file
    while IFS= read -r json; do
        dir=$(dirname "$json")
        name=${dir#"$src"/src/}
        name=${name#3rdparty/}
        name=${name//\//-}
        # Not every attribution names a licence file.
        { grep -o '"LicenseFile"[^,}]*' "$json" || true; } | sed 's/.*: *"\(.*\)".*/\1/' |
            while IFS= read -r file; do
                [[ -f $dir/$file ]] || continue
                mkdir -p "$out/$name"
                cp "$dir/$file" "$out/$name/"
            done
    done < <(find "$src/src/3rdparty" "$src/src/corelib" "$src/src/gui" -name qt_attribution.json \
        -not -path '*/android/*' -not -path '*/wasm/*' -not -path '*/xcb/*' -not -path '*/gradle/*' \
        -not -path '*/forkfd/*' -not -path '*/dbus-ifaces/*' -not -path '*/VulkanMemoryAllocator/*' |
        sort)
}

start=$(date +%s)
say "cross-building Qt into $qt (log: $deps/build/qt.log)" >&2
src=$(fetch_source qt6-base) || { echo "apt-get source qt6-base failed" >&2; exit 1; }
build=$deps/build/qt
rm -rf "$build" "$qt"
mkdir -p "$deps/build"
# A failed build restarted after a fix recompiles only what changed.
launcher=()
command -v ccache >/dev/null &&
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Host tools (moc, rcc, uic, syncqt) come from Debian's Qt of the same version.
# Modules and features the programs do not use are left out; Debian's source
# lacks the headers for the accessibility bridge and the tablet interface.
# Everything else Qt needs is its own bundled copy; its JPEG plugin is left
# out because the programs read JPEG with libjpeg-turbo, whose symbols the
# plugin's bundled copy would clash with in one static .exe.
# OpenGL stays: 6.4.2's Windows platform plugin does not compile without it.
# The offscreen platform plugin and Qt Test let the window's tests run under
# Wine without a display.
{
    cmake -S "$src" -B "$build" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$qt" "${launcher[@]}" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DBUILD_SHARED_LIBS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
        -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
        -DFEATURE_vulkan=OFF -DFEATURE_accessibility=OFF -DFEATURE_tabletevent=OFF \
        -DFEATURE_testlib=ON -DFEATURE_freetype=ON -DFEATURE_pkg_config=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_pcre2=OFF \
        -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF \
        -DFEATURE_system_doubleconversion=OFF -DFEATURE_zstd=OFF -DFEATURE_icu=OFF \
        -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
    cmake --build "$build" -j "$jobs"
    cmake --install "$build"
} >"$deps/build/qt.log" 2>&1 || {
    echo "windows: the Qt build failed; the end of $deps/build/qt.log:" >&2
    tail -n 30 "$deps/build/qt.log" >&2
    exit 1
}
# Qt's licence texts and those of the code bundled in it, for the packages.
mkdir -p "$qt/share/licenses/qt" "$qt/share/licenses/qt-3rdparty"
cp "$src"/LICENSES/LGPL-3.0-only.txt "$src"/LICENSES/GPL-3.0-only.txt "$qt/share/licenses/qt/"
copy_bundled_licences "$src" "$qt/share/licenses/qt-3rdparty"
echo "qt6-base recipe $recipe, $triplet-g++-posix $compiler_version" >"$qt/.complete"
rm -rf "$build"
say "Qt built in $(($(date +%s) - start)) s" >&2
echo "$qt"
