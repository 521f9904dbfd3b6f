#!/usr/bin/env bash
# Cross-builds Skeinpress's headless parts for 64-bit Windows with MinGW-w64 and
# runs every test program under Wine. On Debian 12, as root, from nothing:
#   - installs the cross compiler and Wine;
#   - cross-builds, statically, the libraries from Debian's own source
#     packages: libjpeg-turbo, the ASTC codec, GoogleTest (stb is header-only).
#     They are kept in build-windows-deps/, so a later run skips them;
#   - builds into build-windows/ (one .exe per program, no DLLs beside it) and
#     runs each test program there with wine64, printing its closing lines.
# SKEINPRESS_WERROR=ON in the environment turns warnings into errors.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
root=$PWD
deps=$root/build-windows-deps
prefix=$deps/prefix
build=$root/build-windows
toolchain=$root/cmake/mingw-w64-x86_64.cmake
triplet=x86_64-w64-mingw32
jobs=$(nproc)
export DEBIAN_FRONTEND=noninteractive

say() { echo "windows: $*"; }

# ---- Packages
packages=(g++-mingw-w64-x86-64-posix wine64 nasm dpkg-dev cmake ninja-build libstb-dev googletest)
bash scripts/install-deps.sh "${packages[@]}"
compiler_version=$("$triplet-g++-posix" -dumpfullversion)

# ---- Debian source packages
# deb-src entries are derived from the machine's own "deb" entries, in either
# form apt knows: one-line lists and deb822 .sources files.
add_source_entries() {
    local out=/etc/apt/sources.list.d/skeinpress-deb-src
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
        sed -n 's/^[[:space:]]*deb\([[:space:]]\)/deb-src\1/p' >"$out.list"
    for file in /etc/apt/sources.list.d/*.sources; do
        [[ -e $file ]] || continue
        awk 'BEGIN { RS = ""; FS = "\n" }
             {
                 types = ""; enabled = 1; body = ""
                 for (i = 1; i <= NF; i++) {
                     if ($i ~ /^#/) continue
                     if (tolower($i) ~ /^types:/) { types = $i; continue }
                     if (tolower($i) ~ /^enabled:[[:space:]]*no/) enabled = 0
                     body = body $i "\n"
                 }
                 if (enabled && types ~ /[[:space:]]deb([[:space:]]|$)/)
                     printf "Types: deb-src\n%s\n", body
             }' "$file"
    done >"$out.sources"
    [[ -s $out.list ]] || rm -f "$out.list"
    [[ -s $out.sources ]] || rm -f "$out.sources"
    apt-get update -qq
}

# Unpacks a source package into $deps/src/NAME and prints its folder.
fetch_source() {
    local name=$1 dir=$deps/src/$1
    if ! apt-cache showsrc "$name" 2>/dev/null | grep -q '^Package:'; then
        say "adding deb-src entries derived from the apt sources" >&2
        add_source_entries >&2
    fi
    rm -rf "$dir"
    mkdir -p "$dir"
    (cd "$dir" && apt-get source -qq "$name" >/dev/null 2>"$dir.log") || return 1
    find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

# A library is rebuilt when its recipe or the compiler changes.
stamp_of() { echo "$1 $2 $compiler_version"; }
is_cached() { [[ -f $prefix/.stamp-$1 && $(cat "$prefix/.stamp-$1") == "$(stamp_of "$1" "$2")" ]]; }
mark_cached() { stamp_of "$1" "$2" >"$prefix/.stamp-$1"; }

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

# ---- Skeinpress
say "building into build-windows/"
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$prefix" -DSKEINPRESS_STB_INCLUDE_DIR=/usr/include/stb \
    -DSKEINPRESS_BUILD_UI=OFF -DSKEINPRESS_BUILD_BENCH=OFF -DSKEINPRESS_ASTC=$astc \
    -DSKEINPRESS_LICENSES_DIR="$prefix/share/licenses" \
    -DSKEINPRESS_WERROR="${SKEINPRESS_WERROR:-OFF}" >/dev/null
cmake --build "$build" -j "$jobs"

# Every program must run from its one file: only Windows's own DLLs may be named.
mapfile -t programs < <(find "$build" -name '*.exe' -not -path '*/CMakeFiles/*' | sort)
system_dlls='^(kernel32|user32|advapi32|shell32|ole32|oleaut32|shlwapi|msvcrt|ws2_32|bcrypt|ntdll|api-ms-win-.*)\.dll$'
for program in "${programs[@]}"; do
    foreign=$("$triplet-objdump" -p "$program" | awk '/DLL Name:/ { print $3 }' |
        grep -viE "$system_dlls" || true)
    if [[ -n $foreign ]]; then
        echo "windows: $(basename "$program") needs DLLs beside it: $foreign" >&2
        exit 1
    fi
done

# ---- Tests under Wine, in a prefix of their own
export WINEPREFIX=$deps/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
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

# ---- The zip a Windows user takes
if [[ -f $build/cli/skeinpress-cli.exe ]]; then
    (cd "$build" && cpack -G ZIP >/dev/null)
    say "package: $(ls "$build"/skeinpress-cli-*-win64.zip)"
fi
echo "windows: finished in $(($(date +%s) - start)) s"
