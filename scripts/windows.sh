#!/usr/bin/env bash
# Cross-builds Skeinpress for 64-bit Windows with MinGW-w64 and runs every test
# program under Wine. On Debian 12, as root, from nothing:
#   - installs the cross compiler, Wine and NSIS;
#   - cross-builds, statically, the libraries from Debian's own source
#     packages: libjpeg-turbo, zlib and libpng, the ASTC codec, GoogleTest
#     (stb is header-only),
#     and Qt for the desktop program (scripts/windows-qt.sh). They are kept in
#     the machine's cache, /var/cache/skeinpress/windows-deps (see
#     scripts/windows-common.sh), so every later run and every clone skips them;
#   - builds into build-windows/ (one .exe per program, no DLLs beside it),
#     runs each test program there with wine64, printing its closing lines,
#     packs the zip and the installer, and tries the installer under Wine
#     (scripts/windows-installer-test.sh). scripts/windows-look.sh then shows
#     the desktop program under Wine on a virtual display, with screenshots.
# Building Qt takes about 16 minutes on two idle cores, so it is done only
# when asked for (CI asks):
#   SKEINPRESS_WINDOWS_QT=build   build Qt into the cache when it is not there
#   SKEINPRESS_WINDOWS_QT=off     leave the desktop program out
#   SKEINPRESS_WINDOWS_QT=FOLDER  use the Qt for Windows installed in FOLDER
# Unset, the desktop program is built when the cache holds Qt and left out,
# with a message, when it does not.
# SKEINPRESS_WERROR=ON in the environment turns warnings into errors.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
root=$PWD
source scripts/windows-common.sh
build=$root/build-windows

# ---- Packages
packages=(g++-mingw-w64-x86-64-posix wine64 nasm dpkg-dev cmake ninja-build libstb-dev googletest
    nsis xvfb xauth)
bash scripts/install-deps.sh "${packages[@]}"
compiler_version=$("$triplet-g++-posix" -dumpfullversion)

# A library is rebuilt when its recipe or the compiler changes.
stamp_of() { echo "$1 $2 $compiler_version"; }
is_cached() { [[ -f $prefix/.stamp-$1 && $(cat "$prefix/.stamp-$1") == "$(stamp_of "$1" "$2")" ]]; }
mark_cached() { stamp_of "$1" "$2" >"$prefix/.stamp-$1"; }

# The libraries used to be kept in the clone: a clone that has them gives
# them to the machine's cache rather than building them again.
if [[ -d $root/build-windows-deps/prefix && ! -d $prefix ]]; then
    say "moving build-windows-deps/ to $deps"
    mkdir -p "$deps"
    mv "$root/build-windows-deps/prefix" "$prefix"
    rm -rf "$root/build-windows-deps"
fi
mkdir -p "$prefix"
cross_cmake=(-G Ninja -Wno-dev -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX="$prefix")

# libjpeg-turbo, static; its SIMD code needs nasm.
if ! is_cached libjpeg-turbo 2; then
    say "cross-building libjpeg-turbo"
    src=$(fetch_source libjpeg-turbo) || { echo "apt-get source libjpeg-turbo failed" >&2; exit 1; }
    simd=OFF
    command -v nasm >/dev/null && simd=ON
    cmake -S "$src" -B "$deps/build/libjpeg-turbo" "${cross_cmake[@]}" -DENABLE_SHARED=OFF \
        -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=$simd >/dev/null
    cmake --build "$deps/build/libjpeg-turbo" -j "$jobs" >/dev/null
    cmake --install "$deps/build/libjpeg-turbo" >/dev/null
    mkdir -p "$prefix/share/licenses/libjpeg-turbo"
    cp "$src/LICENSE.md" "$src/README.ijg" "$prefix/share/licenses/libjpeg-turbo/"
    mark_cached libjpeg-turbo 2
fi

# zlib, static: its library sources compiled and archived directly (Debian's
# source leaves out the win32 makefiles, and its CMake build always makes the
# DLL as well, which FindZLIB would then pick).
if ! is_cached zlib 2; then
    say "cross-building zlib"
    src=$(fetch_source zlib) || { echo "apt-get source zlib failed" >&2; exit 1; }
    objects=$deps/build/zlib
    rm -rf "$objects"
    mkdir -p "$objects"
    for name in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast \
        inflate inftrees trees uncompr zutil; do
        "$triplet-gcc-posix" -O2 -c "$src/$name.c" -o "$objects/$name.o" ||
            { echo "windows: zlib failed to build ($name.c)" >&2; exit 1; }
    done
    mkdir -p "$prefix/include" "$prefix/lib" "$prefix/share/licenses/zlib"
    rm -f "$prefix/lib/libz.a"
    "$triplet-gcc-ar-posix" rcs "$prefix/lib/libz.a" "$objects"/*.o
    cp "$src/zlib.h" "$src/zconf.h" "$prefix/include/"
    sed -n '/Copyright notice/,$p' "$src/README" >"$prefix/share/licenses/zlib/LICENSE"
    mark_cached zlib 2
fi

# libpng, static, against that zlib. Its functions carry a prefix of ours:
# the static Qt links its own bundled libpng, whose names would clash.
if ! is_cached libpng 2; then
    say "cross-building libpng"
    src=$(fetch_source libpng1.6) || { echo "apt-get source libpng1.6 failed" >&2; exit 1; }
    cmake -S "$src" -B "$deps/build/libpng" "${cross_cmake[@]}" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
        -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_BUILD_ZLIB=OFF -DPNG_PREFIX=skeinpress_ \
        -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a" >/dev/null
    cmake --build "$deps/build/libpng" -j "$jobs" >/dev/null
    cmake --install "$deps/build/libpng" >/dev/null
    mkdir -p "$prefix/share/licenses/libpng"
    cp "$src/LICENSE" "$prefix/share/licenses/libpng/"
    mark_cached libpng 2
fi

# GoogleTest from the source Debian installs under /usr/src/googletest.
if ! is_cached googletest 1; then
    say "cross-building GoogleTest"
    cmake -S /usr/src/googletest -B "$deps/build/googletest" "${cross_cmake[@]}" >/dev/null
    cmake --build "$deps/build/googletest" -j "$jobs" >/dev/null
    cmake --install "$deps/build/googletest" >/dev/null
    mark_cached googletest 1
fi
# The ASTC codec's library sources (Source/astcenc_*.cpp, without the command
# line tool), compiled for SSE2, which every x86-64 processor has, into one
# static library with a CMake package file of the name Debian's has.
build_astcenc() {
    local src out=$deps/build/astcenc
    src=$(fetch_source astc-encoder) || return 1
    rm -rf "$out"
    mkdir -p "$out" "$prefix/include" "$prefix/lib/cmake/astcenc"
    find "$src/Source" -maxdepth 1 -name 'astcenc_*.cpp' -print0 |
        xargs -0 -P "$jobs" -I{} sh -c '"$0" -std=c++17 -O2 -DNDEBUG -msse2 -DASTCENC_SSE=20 \
            -DASTCENC_AVX=0 -DASTCENC_POPCNT=0 -DASTCENC_F16C=0 -DASTCENC_NEON=0 \
            -c "$1" -o "$2/$(basename "$1" .cpp).o"' "$triplet-g++-posix" {} "$out" \
        >"$out.log" 2>&1 || return 1
    ls "$out"/*.o >/dev/null 2>&1 || return 1
    rm -f "$prefix/lib/libastcenc.a"
    "$triplet-gcc-ar-posix" rcs "$prefix/lib/libastcenc.a" "$out"/*.o || return 1
    cp "$src/Source/astcenc.h" "$prefix/include/" || return 1
    mkdir -p "$prefix/share/licenses/astcenc"
    cp "$src/LICENSE.txt" "$prefix/share/licenses/astcenc/" || return 1
    cat >"$prefix/lib/cmake/astcenc/astcencConfig.cmake" <<'EOF'
# The ASTC codec, cross-built statically by scripts/windows.sh.
if(NOT TARGET astcenc::astcenc)
  get_filename_component(_astcenc_prefix "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
  add_library(astcenc::astcenc STATIC IMPORTED)
  set_target_properties(astcenc::astcenc PROPERTIES
    IMPORTED_LOCATION "${_astcenc_prefix}/lib/libastcenc.a"
    INTERFACE_INCLUDE_DIRECTORIES "${_astcenc_prefix}/include")
  unset(_astcenc_prefix)
endif()
EOF
}
astc=ON
if ! is_cached astcenc 1; then
    say "cross-building the ASTC codec"
    rm -f "$prefix/.stamp-astcenc-missing"
    if build_astcenc; then
        mark_cached astcenc 1
    else
        # The rest of the program is still worth building and testing.
        say "WARNING: the ASTC codec's source could not be had or built (see" \
            "$deps/src/astc-encoder.log and $deps/build/astcenc.log): building without ASTC"
        touch "$prefix/.stamp-astcenc-missing"
        astc=OFF
    fi
fi
[[ -f $prefix/.stamp-astcenc-missing ]] && astc=OFF

# stb is compiled into the programs from its headers, and so are MinGW-w64's
# runtime pieces (winpthreads among them): their notices go into the zip too.
mkdir -p "$prefix/share/licenses/stb" "$prefix/share/licenses/mingw-w64"
cp /usr/share/doc/libstb-dev/copyright "$prefix/share/licenses/stb/copyright.txt"
cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$prefix/share/licenses/mingw-w64/copyright.txt"

# ---- Qt, for the desktop program
qt=
case ${SKEINPRESS_WINDOWS_QT:-} in
off) say "leaving out the desktop program (SKEINPRESS_WINDOWS_QT=off)" ;;
build) qt=$(bash scripts/windows-qt.sh) ;;
'')
    if where=$(bash scripts/windows-qt.sh --where); then
        qt=$where
    else
        say "NOTE: no Qt for Windows in $where, so the desktop program is left out;" \
            "SKEINPRESS_WINDOWS_QT=build builds it there (about 16 minutes, once per machine)"
    fi
    ;;
*)
    qt=$SKEINPRESS_WINDOWS_QT
    [[ -f $qt/lib/cmake/Qt6/Qt6Config.cmake ]] ||
        { echo "windows: no Qt 6 installed in $qt (SKEINPRESS_WINDOWS_QT)" >&2; exit 1; }
    ;;
esac
ui=OFF
qt_cmake=()
if [[ -n $qt ]]; then
    ui=ON
    qt_cmake=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
    # Qt's build tools (moc, rcc, uic) run on this machine: Debian's, of the
    # same version as the Qt for Windows.
    bash scripts/install-deps.sh qt6-base-dev qt6-base-dev-tools
fi

# The licence texts of everything linked into the programs, for the packages.
licenses=$deps/build/licenses
rm -rf "$licenses"
mkdir -p "$licenses"
cp -r "$prefix/share/licenses/." "$licenses/"
[[ $astc == ON ]] || rm -rf "$licenses/astcenc"
[[ -n $qt ]] && cp -r "$qt/share/licenses/." "$licenses/"

# ---- Skeinpress
say "building into build-windows/ (desktop program: $ui)"
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Source paths stay absolute in what ccache compiles, whatever base_dir the
    # machine sets: tests find their data beside themselves through __FILE__.
    export CCACHE_BASEDIR=
fi
# Stripped (-s): the programs carry no symbols, the Qt one would be several
# times its size with them.
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$prefix${qt:+;$qt}" -DSKEINPRESS_STB_INCLUDE_DIR=/usr/include/stb \
    -DCMAKE_EXE_LINKER_FLAGS_RELEASE=-s "${launcher[@]}" "${qt_cmake[@]}" \
    -DSKEINPRESS_BUILD_UI=$ui -DSKEINPRESS_BUILD_BENCH=OFF -DSKEINPRESS_ASTC=$astc \
    -DSKEINPRESS_LICENSES_DIR="$licenses" \
    -DSKEINPRESS_WERROR="${SKEINPRESS_WERROR:-OFF}" >/dev/null
cmake --build "$build" -j "$jobs"

# Every program must run from its one file: only Windows's own DLLs may be named.
mapfile -t programs < <(find "$build" -name '*.exe' -not -path '*/CMakeFiles/*' | sort)
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|shlwapi|comdlg32|comctl32|'
system_dlls+='imm32|winmm|version|uxtheme|dwmapi|d3d9|d3d11|d3d12|dxgi|d2d1|dwrite|setupapi|'
system_dlls+='userenv|netapi32|wtsapi32|shcore|authz|mpr|rpcrt4|crypt32|secur32|ws2_32|bcrypt|'
system_dlls+='msvcrt|ntdll|api-ms-win-.*)\.dll$'
for program in "${programs[@]}"; do
    foreign=$("$triplet-objdump" -p "$program" | awk '/DLL Name:/ { print $3 }' |
        grep -viE "$system_dlls" || true)
    if [[ -n $foreign ]]; then
        echo "windows: $(basename "$program") needs DLLs beside it: $foreign" >&2
        exit 1
    fi
done
if [[ -f $build/ui/skeinpress.exe ]]; then
    say "skeinpress.exe: $(stat -c %s "$build/ui/skeinpress.exe") bytes, needs" \
        "$("$triplet-objdump" -p "$build/ui/skeinpress.exe" | awk '/DLL Name:/ { printf "%s ", $3 }')"
fi

# ---- Tests under Wine, in a prefix of their own
export WINEPREFIX=$deps/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The window's tests draw into memory, as on Linux; the desktop program they
# start draws on Windows's own platform, which under Wine needs a display.
export QT_QPA_PLATFORM=offscreen
display_pid=
if [[ $ui == ON ]]; then
    display=90
    while [[ -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
    Xvfb ":$display" -screen 0 1280x960x24 -nolisten tcp >/dev/null 2>&1 &
    display_pid=$!
    trap 'kill "$display_pid" 2>/dev/null || true' EXIT
    export DISPLAY=:$display
fi
wine=/usr/lib/wine/wine64
if [[ ! -f $WINEPREFIX/system.reg ]]; then
    say "creating the Wine prefix"
    "$wine" wineboot --init >/dev/null 2>&1 || true
fi
mkdir -p "$build/wine-logs"
failed=()
mapfile -t tests < <(find "$build/tests" -maxdepth 1 -name '*_tests.exe' | sort)
for program in "${tests[@]}"; do
    name=$(basename "$program" .exe)
    log=$build/wine-logs/$name.log
    echo "== $name under Wine"
    status=0
    # A terminal on standard input gives the program a console (the console
    # tests need one), while its output still goes to the log. script(1) is
    # in every Debian (bsdutils) and passes the exit status on.
    script -qec "$(printf '%q ' "$wine" "$program") >$(printf '%q' "$log") 2>&1" /dev/null \
        </dev/null >/dev/null 2>&1 || status=$?
    # The closing lines: everything from the last "[==========]" on.
    awk '/^\[==========\]/ { n = NR; text = "" } n { text = text $0 "\n" } END { printf "%s", text }' \
        "$log" | tail -n 30
    if [[ $status -ne 0 ]]; then
        failed+=("$name")
        echo "windows: $name exited with $status (whole output in $log)"
    fi
done
if [[ ${#tests[@]} -eq 0 ]]; then
    echo "windows: no test program was built" >&2
    exit 1
fi
if [[ ${#failed[@]} -gt 0 ]]; then
    echo "windows: failed: ${failed[*]} (after $(($(date +%s) - start)) s)" >&2
    exit 1
fi

# ---- What a Windows user takes: the zip, and the installer made from it
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
rm -f "$build"/skeinpress-*.zip "$build"/skeinpress-*-setup.exe
(cd "$build" && cpack -G ZIP >/dev/null)
zip=$(ls "$build"/skeinpress*-win64.zip)
say "package: $zip"
if [[ $ui == ON ]]; then
    stage=$build/installer-stage
    rm -rf "$stage"
    cmake --install "$build" --component windows_zip --prefix "$stage" --strip >/dev/null
    bash scripts/windows-installer.sh "$stage" "$version" "$build/skeinpress-$version-setup.exe" \
        >/dev/null
    say "installer: $build/skeinpress-$version-setup.exe"
    bash scripts/windows-installer-test.sh "$build/skeinpress-$version-setup.exe" \
        "$build/installer-test"
else
    say "no installer without the desktop program"
fi
echo "windows: finished in $(($(date +%s) - start)) s"
