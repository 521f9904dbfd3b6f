# Shared by scripts/windows.sh and scripts/windows-qt.sh (sourced, not run).
# Everything cross-built for Windows lives outside the clone, in one cache per
# machine, so every clone and every CI run on it reuses what was built once:
#   $deps/prefix         libjpeg-turbo, the ASTC codec, GoogleTest
#   $deps/qt-KEY         Qt, static; KEY names its recipe and the compiler
#   $deps/src, $deps/build, $deps/wine   sources, build trees, Wine prefix
# SKEINPRESS_WINDOWS_DEPS moves the cache elsewhere.
deps=${SKEINPRESS_WINDOWS_DEPS:-/var/cache/skeinpress/windows-deps}
prefix=$deps/prefix
toolchain=$root/cmake/mingw-w64-x86_64.cmake
triplet=x86_64-w64-mingw32
jobs=$(nproc)
export DEBIAN_FRONTEND=noninteractive

say() { echo "windows: $*"; }

# check DESCRIPTION COMMAND...: runs the command and reports it as
# "$check_name: ok: ..." or, counting it in $failures, "...: FAILED: ...".
check() {
    if "${@:2}"; then echo "$check_name: ok: $1"; else
        echo "$check_name: FAILED: $1" >&2
        failures=$((failures + 1))
    fi
}

# deb-src entries are derived from the machine's own "deb" entries, in either
# form apt knows: one-line lists and deb822 .sources files.
add_source_entries() {
    local out=/etc/apt/sources.list.d/skeinpress-deb-src
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
        sed -n 's/^[[:space:]]*deb\([[:space:]]\)/deb-src\1/p' >"$out.list"
    for file in /etc/apt/sources.list.d/*.sources; do
        [[ -e $file ]] || continue
        [[ $file == "$out.sources" ]] && continue
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
    done >"$out.sources.new"
    mv "$out.sources.new" "$out.sources"
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
    # The newest version first; a mirror may lack one (a security update's
    # source, say), so each version apt knows is tried in turn.
    local version
    for version in "" $(apt-cache showsrc "$name" 2>/dev/null | sed -n 's/^Version: //p'); do
        rm -rf "$dir"
        mkdir -p "$dir"
        if (cd "$dir" && apt-get source -qq "$name${version:+=$version}" >/dev/null 2>>"$dir.log"); then
            find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1
            return 0
        fi
    done
    return 1
}
