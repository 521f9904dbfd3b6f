#!/usr/bin/env bash
# Runs two builds of skeinpress-cli over the same mixed tree of images and
# reports every difference in what they print, their exit codes and the files
# they leave behind, byte for byte.
#
#   scripts/compare-cli.sh [--allow-mends[=LIST]] [--quick] [--only=GLOB] [--keep] OLD NEW [WORKDIR]
#
# Each build runs in its own copy of the tree, from a working folder of the
# same shape, with the same relative paths, so the paths each build sees (and
# the repair seeds made from them) are the same. Compared for every run: the
# standard output, the standard error, the exit status, a manifest of the
# run's copy taken after the run (every entry's type, mode, size and name, and
# the sha256 of every file written since the last manifest), and the trawl log. Masked before comparing: the time a
# summary reports, the progress lines (their figures and how many appear
# depend on speed), the working folder and each build's own folder (the
# language file's path), the date and time in the trawl log's headers, and the
# random part of a temporary file's name.
#
# --allow-mends takes a comma-separated list of known, intended differences;
# bare, it takes every mend named below. A difference a mend accounts for is
# printed as "allowed" and not counted.
#   readonly-message  PNG, DDS and HDR refuse a read-only target, or a folder
#                     in its place, with the TGA writer's words ("NAME" is
#                     read-only, "NAME" is not a regular file), not with
#                     Couldn't create file "NAME".
#   badsize-stderr    a BMP or JPEG of unusable size is reported by convert on
#                     the error stream instead of the output stream.
#   version           --version prints the name and version (it was a usage
#                     error); lines naming --version may appear in help texts.
#   run:GLOB          every difference of the runs whose name matches GLOB.
#
# --quick runs a smaller set (info and convert of the whole tree at once, each
# file converted alone only below samples/ and made/, the edits on three
# files, every output format on five, seven trawls) for a busy machine.
#
# --only=GLOB makes only the runs whose name matches GLOB, a bash pattern
# (extended: @(a|b*) works), to look again at the runs a report names.
#
# WORKDIR (default: a new temporary folder) holds the tree, both copies and
# the recorded results, old/res and new/res, one file per run and stream. It is
# removed at the end unless given or --keep. Ends with one line
#   compare-cli: N runs, M files compared, K differences
# and exit status 0 exactly when K is 0.
set -uo pipefail
shopt -s extglob
export LC_ALL=C

usage() {
    sed -n '6p' "$0" | sed 's/^#  *//' >&2
    exit 2
}

mends=()
keep=0
quick=0
only='*'
args=()
for a in "$@"; do
    case "$a" in
        --allow-mends) mends=(readonly-message badsize-stderr version) ;;
        --allow-mends=*) IFS=, read -r -a mends <<<"${a#--allow-mends=}" ;;
        --keep) keep=1 ;;
        --quick) quick=1 ;;
        --only=*) only=${a#--only=} ;;
        -h | --help) usage ;;
        -*) echo "compare-cli: unknown option $a" >&2 && usage ;;
        *) args+=("$a") ;;
    esac
done
if [ ${#args[@]} -lt 2 ] || [ ${#args[@]} -gt 3 ]; then usage; fi
for m in "${mends[@]}"; do
    case "$m" in
        readonly-message | badsize-stderr | version | run:?*) ;;
        *) echo "compare-cli: unknown mend \"$m\"" >&2 && exit 2 ;;
    esac
done

here=$(cd "$(dirname "$0")/.." && pwd)
declare -A cli build
for side in old new; do
    i=0 && [ $side = new ] && i=1
    path=${args[$i]}
    [ -x "$path" ] || { echo "compare-cli: $path is not a program" >&2 && exit 2; }
    cli[$side]=$(cd "$(dirname "$path")" && pwd)/$(basename "$path")
    # The folder above the program's: the language file is found below it.
    build[$side]=$(cd "$(dirname "$path")/.." && pwd)
done
if [ ${#args[@]} -eq 3 ]; then
    work=${args[2]}
    mkdir -p "$work" && work=$(cd "$work" && pwd)
    keep=1
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/compare-cli.XXXXXX")
fi
[ -z "$(ls -A "$work")" ] || { echo "compare-cli: $work is not empty" >&2 && exit 2; }
trap '[ $keep = 1 ] || rm -rf "$work"' EXIT

src=$work/src
mkdir -p "$src" "$work/old/res" "$work/new/res"

# ---------------------------------------------------------------- the tree

copy_images() {  # FROM TO: the image files below FROM, no reference pictures
    (cd "$1" && find . -type f ! -path '*/ref/*' ! -path '*/expected/*' \
        \( -name '*.texture' -o -name '*.texture.txt' -o -name '*.tga' -o -name '*.bmp' \
        -o -name '*.jpg' \) -print0 | xargs -0r cp --parents -t "$2")
}
mkdir -p "$src/samples" "$src/corpus" "$src/fuzz" "$src/made"
copy_images "$here/samples" "$src/samples"
copy_images "$here/tests/corpus" "$src/corpus"
copy_images "$here/tests/fuzz_regressions" "$src/fuzz"

python3 - "$src/made" <<'EOF'
import os, struct, sys
out = sys.argv[1]

def noise(n, seed):
    b = bytearray(n)
    for i in range(n):
        seed = (seed * 1664525 + 1013904223) & 0xFFFFFFFF
        b[i] = seed >> 24
    return bytes(b)

def e2tf(code, width, height, levels, alpha_mode=3, kind=0, block=b""):
    head = b"FT2E" + struct.pack("<III", 7, width, height)
    head += bytes([0, len(levels), alpha_mode, kind, len(levels[0]), 3, 2, 1]) + code + block
    head += bytes([10, 20, 30, 255])
    table = b"".join(struct.pack("<I", len(f)) for level in levels for f in level)
    return head + table + b"".join(f for level in reversed(levels) for f in level)

def tga(width, height, pixel, bpp=3):
    head = bytes([0, 0, 2]) + bytes(9) + struct.pack("<HH", width, height) + bytes([bpp * 8, 0])
    return head + b"".join(bytes(pixel(x, y)) for y in range(height) for x in range(width))

def bmp(width, height, pixel):
    row = (width * 3 + 3) & ~3
    rows = b"".join(b"".join(bytes(pixel(x, y)) for x in range(width)) + bytes(row - width * 3)
                    for y in range(height))
    return (b"BM" + struct.pack("<IHHI", 54 + len(rows), 0, 0, 54) +
            struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
            + rows)

def ppm(width, height, pixel):
    return (b"P6 %d %d 255\n" % (width, height) +
            b"".join(bytes(pixel(x, y)) for y in range(height) for x in range(width)))

def write(name, data):
    path = os.path.join(out, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)

ramp = lambda x, y: (x * 7 % 256, y * 11 % 256, (x * y) % 256)
faces = [[bytes([f * 40, (i * 13) % 256, 90, 255 - i]) for i in range(64)] for f in range(6)]
write("e2tf/cube.texture", e2tf(b"abgr", 8, 8, [[b"".join(px) for px in faces],
                                                [bytes([f, 1, 2, 3]) * 16 for f in range(6)]],
                                kind=2))
write("e2tf/glow float.texture",
      e2tf(b"f4dh", 4, 2, [[struct.pack("<32f", *[(i % 9) * 0.4 - 0.5 for i in range(32)])]]))
solid = bytes([0xFC, 0xFD] + [0xFF] * 6) + bytes([200, 200, 100, 100, 50, 50, 255, 255])
write("e2tf/astc.texture", e2tf(b"ctsa", 8, 8, [[solid * 4]], block=bytes([4, 4])))
write("e2tf/dxt1.texture", e2tf(b"1txd", 8, 8, [[noise(32, 7)], [noise(8, 8)]], alpha_mode=0))
write("e2tf/dxt3.texture", e2tf(b"3txd", 12, 4, [[noise(48, 9)]]))
write("e2tf/bgra.texture", e2tf(b"abgr", 4, 4, [[noise(64, 11)]]))
write("e2tf/unknown_code.texture", e2tf(b"zyxw", 4, 4, [[noise(64, 12)]]))
write("odd size/odd100.bmp", bmp(100, 100, ramp))
write("odd size/wide.bmp", bmp(64, 4, ramp))
write("odd size/odd100.ppm", ppm(100, 100, ramp))
write("uniform/red.bmp", bmp(32, 32, lambda x, y: (0, 0, 200)))
write("uniform/blue.ppm", ppm(32, 32, lambda x, y: (20, 40, 220)))
write("uniform/one.tga", tga(1, 1, lambda x, y: (5, 6, 7)))
write("uniform/alpha.tga", tga(8, 8, lambda x, y: (9, 9, 9, 128), bpp=4))
write("Shout.Texture", open(os.path.join(out, "e2tf/bgra.texture"), "rb").read())
write("LOUD.TGA", tga(16, 8, ramp))
write("Loud.BMP", bmp(16, 16, ramp))
write("damaged/empty.tga", b"")
write("damaged/empty.jpg", b"")
write("damaged/empty.texture", b"")
write("damaged/text.bmp", b"this is not a bitmap\n" * 3)
write("damaged/cut.tga", tga(16, 16, ramp)[:300])
write("unknown/notes.txt", b"not an image\n")
write("unknown/picture.png", b"\x89PNG\r\n\x1a\n" + noise(40, 3))
write("caf\xe9.tga".encode("latin-1").decode("utf-8", "surrogateescape"), tga(4, 4, ramp))
EOF
for p in "$src/made/odd size/odd100" "$src/made/uniform/blue"; do
    cjpeg -quality 90 "$p.ppm" >"$p.jpg" && rm "$p.ppm"
done
mkdir -p "$src/made/name with spaces"
cp "$src/samples/glass_panel.texture" "$src/made/name with spaces/Wagon Body.texture"
cp "$src/samples/brick_wall.tga" "$src/made/name with spaces/Old Sign.TGA"
mkdir -p "$src/made/exists" "$src/made/folder.texture" "$src/made/.hidden dir"
cp "$src/samples/station_wall.texture" "$src/made/exists/loco.texture"
cp "$src/samples/brick_wall.tga" "$src/made/exists/loco.tga"
cp "$src/samples/ballast.bmp" "$src/made/exists/loco.bmp"
cp "$src/samples/ballast.bmp" "$src/made/folder.texture/inside.bmp"
cp "$src/samples/signal_lamp.texture" "$src/made/.hidden.texture"
cp "$src/samples/signal_lamp.texture" "$src/made/.hidden dir/inside.texture"
deep=$src/made/deep
for i in $(seq 1 27); do
    deep=$deep/d$i
    mkdir -p "$deep" && cp "$src/samples/station_wall.texture" "$deep/level$i.texture"
done
ln -s ../samples/route_sign.texture "$src/made/link.texture"
ln -s nowhere.texture "$src/made/dangling.texture"

# Homes: none, a settings file with every option away from its default, and a
# damaged settings file; one more names a damaged language file.
mkdir -p "$work/homes/empty" "$work/homes/settings" "$work/homes/damaged" "$work/homes/language"
printf '%s\r\n' '[Options]' 'DoBMPs=1' 'DoJPGs=1' 'DoTextures=1' 'OverwriteTGAs=0' \
    'UniformColour=1' 'NormalMapAlpha=200' '[PixelSet]' 'Count=5' 'Change=40' 'Random=0' \
    >"$work/homes/settings/skeinpress.ini"
cp "$here/tests/fuzz_regressions/settings/"*.ini "$work/homes/damaged/skeinpress.ini"
printf '%s\r\n' '[File]' 'Language=Damaged.txt' >"$work/homes/language/skeinpress.ini"
cp "$here/tests/fuzz_regressions/language/"*.txt "$work/homes/language/Damaged.txt"

# Every input, as a path relative to a case folder ("tree/..."), in one order.
files=()
while IFS= read -r -d '' f; do files+=("tree/${f#./}"); done \
    < <(cd "$src" && find . \( -type f -o -type l \) -print0 | sort -z)

# ---------------------------------------------------------------- running

runs=0
differences=0
allowed=0
declare -A compared
case_name=

mask_output() {  # SIDE FILE...: the figures that depend on the clock or the folders
    local root=$work/$1/$case_name
    sed -i -E \
        -e "s#$root#<case>#g" -e "s#${build[$1]}#<build>#g" -e "s#$work#<work>#g" \
        -e 's/ files in [0-9]+\.[0-9] s: / files in <time> s: /' \
        -e '/^skeinpress-cli: [0-9]+\/[0-9]+\+? files +[0-9.]+ files\/s/d' \
        -e 's/\.skeinpress-[A-Za-z0-9]{6}/.skeinpress-<tmp>/g' "${@:2}"
}

# A fresh case: a copy of the tree and of one home for each build.
new_case() {  # NAME HOME
    case_name=$1
    for side in old new; do
        rm -rf "${work:?}/$side/$1"
        mkdir -p "$work/$side/$1"
        cp -a "$src" "$work/$side/$1/tree"
        cp -a "$work/homes/$2" "$work/$side/$1/home"
    done
}

# What the case folder holds after a run: every entry's type, mode, size and
# name, and the sha256 of every file the run wrote (newer than the marker
# touched before it; hashing the whole tree after every run is too slow). A
# file one build writes and the other leaves alone still differs, by its hash.
cr=$'\r'
snapshot() {  # SIDE RESULT
    local dir=$work/$1/$case_name res=$work/$1/res/$2
    (
        cd "$dir" || exit 1
        find . -mindepth 1 ! -path ./home/Trawl_Log.txt -printf '%y %m %s %P\n' | sort
        find . -type f -newer ../marker ! -path ./home/Trawl_Log.txt -print0 | sort -z |
            xargs -0r sha256sum
    ) >"$res.files"
    mask_output "$1" "$res.files"
    if [ -f "$dir/home/Trawl_Log.txt" ]; then
        # The line end stays as written.
        sed -E "s/^(----- Trawl Log ------- )[^$cr]*/\\1<time>,  <date>/" \
            "$dir/home/Trawl_Log.txt" >"$res.log"
    else
        : >"$res.log"
    fi
}

# Lines a mend changes, made the same on both sides; fails when the mend has
# nothing to do with the run.
mend_filter() {  # MEND RUN STREAM FILE
    case "$1" in
        readonly-message)
            # The words the TGA, BMP and JPEG writers already use.
            local words="is read-only"
            [[ $2 == readonly-folder-* ]] && words="is not a regular file"
            [[ $2 == readonly-* ]] &&
                sed -E "s/Couldn't create file (\"[^\"]*\")\./\1 $words/" "$4" ;;
        badsize-stderr)
            [[ $2 == convert* && ( $3 == out || $3 == err ) ]] &&
                sed '/unusable image size/d' "$4" ;;
        version)
            if [ "$2" = version ]; then echo; else sed '/--version/d' "$4"; fi ;;
        run:*)
            # shellcheck disable=SC2053
            [[ $2 == ${1#run:} ]] && echo ;;
        *) false ;;
    esac
}

compare_stream() {  # ID RESULT STREAM
    local a=$work/old/res/$2.$3 b=$work/new/res/$2.$3 m fa fb
    cmp -s "$a" "$b" && return
    for m in "${mends[@]}"; do
        fa=$(mend_filter "$m" "$1" "$3" "$a") || continue
        fb=$(mend_filter "$m" "$1" "$3" "$b") || continue
        if [ "$fa" = "$fb" ]; then
            allowed=$((allowed + 1))
            echo "allowed ($m): $1 [$3]"
            return
        fi
    done
    differences=$((differences + 1))
    echo "DIFFERENCE: $1 [$3] (res/$2.$3)"
    diff -u --label old --label new "$a" "$b" | sed -n '3,40s/^/    /p'
}

# One run: the same arguments to both builds, each from its own case folder.
# Results go to res/NNNNN.{out,err,rc,files,log}; res/index names the runs.
# A read-only run (look_at) takes no manifest: the next step's covers it.
run_both() {  # SNAPSHOT ID ARG...
    local snap=$1 id=$2 side res
    shift 2
    # shellcheck disable=SC2053
    [[ $id == $only ]] || return 0
    runs=$((runs + 1))
    res=$(printf '%05d' $runs)
    # The two builds run side by side.
    for side in old new; do
        (
            out=$work/$side/res/$res
            printf '%s\t%s\t%s\n' "$res" "$case_name" "$id" >>"$work/$side/res/index"
            [ "$snap" = 0 ] || touch "$work/$side/marker"
            cd "$work/$side/$case_name" && timeout 120 "${cli[$side]}" "$@" >"$out.out" 2>"$out.err"
            echo $? >"$out.rc"
            mask_output "$side" "$out.out" "$out.err"
            [ "$snap" = 0 ] || snapshot "$side" "$res"
        ) &
    done
    wait
    local streams=(out err rc)
    [ "$snap" = 1 ] && streams+=(files log)
    for stream in "${streams[@]}"; do compare_stream "$id" "$res" "$stream"; done
    if [ "$snap" = 1 ]; then
        while IFS= read -r line; do compared["$case_name/${line#* * }"]=1; done \
            < <(grep -E '^f ' "$work/new/res/$res.files")
    fi
}
step() { run_both 1 "$@"; }
look_at() { run_both 0 "$@"; }

# ---------------------------------------------------------------- the runs

new_case plain empty
step help --help
step usage-none
step version --version
step paths --home home paths
step paths-new-home --home "new home/inner" paths
step usage-unknown-command --home home frobnicate
step usage-info-nothing --home home info
step usage-convert-nothing --home home convert
step usage-output-two --home home convert tree/samples/sky.jpg tree/samples/ballast.bmp --output x.tga
step usage-output-unknown --home home convert tree/samples/sky.jpg --output x.gif
step usage-output-missing --home home convert tree/samples/sky.jpg --output
step usage-jobs-zero --home home convert tree/samples/sky.jpg --jobs 0
step usage-jobs-word --home home convert tree/samples/sky.jpg --jobs=two
step usage-mask-short --home home convert tree/samples/sky.jpg --mask 1,2,3
step usage-add-alpha-high --home home convert tree/samples/sky.jpg --add-alpha=256
step usage-pixel-count --home home convert tree/samples/flat_grey.tga --fix-uniform --pixel-count 0
step usage-pixel-change --home home convert tree/samples/flat_grey.tga --fix-uniform --pixel-change 128
step usage-unknown-option --home home convert tree/samples/sky.jpg --sharpen
step usage-merge-missing --home home convert tree/samples/sky.jpg --merge-alpha
step usage-trawl-nothing --home home trawl
step usage-trawl-two --home home trawl tree/samples tree/corpus
step usage-trawl-option --home home trawl --fast tree/samples
step usage-trawl-jobs --home home trawl --jobs 0 tree/samples
step usage-home-missing --home
step trawl-missing-folder --home home trawl tree/no/such/folder
step convert-missing-file --home home convert tree/no/such.tga

# Folder by folder (each run's exit status then speaks for fewer files), then all.
new_case info empty
[ $quick = 1 ] || while IFS= read -r -d '' d; do
    group=()
    for f in "${files[@]}"; do [ "$(dirname "$f")" = "tree/${d#./}" ] && group+=("$f"); done
    [ ${#group[@]} -gt 0 ] || continue
    look_at "info:${d#./}" --home home info "${group[@]}"
    look_at "info-json:${d#./}" --home home info --json "${group[@]}"
done < <(cd "$src" && find . -type d -print0 | sort -z)
step info-all --home home info "${files[@]}"
step info-json-all --home home info --json "${files[@]}"

new_case convert-each empty
for f in "${files[@]}"; do
    [[ $quick = 1 && $f != tree/samples/* && $f != tree/made/* ]] && continue
    step "convert:${f#tree/}" --home home convert "$f"
done

new_case convert-each-settings settings
for f in "${files[@]}"; do
    [[ $f == tree/samples/* || $f == tree/made/*/*.@(bmp|jpg) || $f == tree/made/exists/* ]] &&
        step "convert-settings:${f#tree/}" --home home convert "$f"
done

new_case convert-jobs empty
step convert-all-jobs2 --home home convert --jobs 2 "${files[@]}"
new_case convert-jobs1 empty
step convert-all-jobs1 --home home convert --jobs=1 "${files[@]}"

selection=(tree/samples/brick_wall.tga tree/samples/fence_panel.tga tree/samples/flat_grey.tga
    tree/samples/route_sign.texture tree/samples/signal_lamp.texture tree/samples/sky.jpg
    tree/samples/ballast.bmp tree/made/e2tf/cube.texture "tree/made/e2tf/glow float.texture"
    tree/made/e2tf/astc.texture tree/corpus/tga/200x32_la_bl_rle.tga
    tree/corpus/bmp/q/rgba32.bmp tree/corpus/jpeg/hopper_gray.jpg
    tree/corpus/texture/dxt1_masked.texture tree/corpus/texture/truncated_chunk.texture)

new_case output empty
mkdir -p "$work/old/output/out" "$work/new/output/out"
output_selection=("${selection[@]}")
[ $quick = 0 ] || output_selection=("${selection[@]:1:1}" "${selection[@]:4:1}" \
    "${selection[@]:7:3}")
for f in "${output_selection[@]}"; do
    name=$(basename "$f")
    for ext in tga bmp jpg png dds hdr; do
        step "convert-output-$ext:${f#tree/}" --home home convert "$f" --output "out/${name%.*}.$ext"
    done
done
step convert-output-upper-case --home home convert tree/samples/sky.jpg --output out/SKY.TGA
step convert-output-into-missing-folder --home home convert tree/samples/sky.jpg \
    --output no/such/folder/sky.tga

new_case readonly empty
for ext in tga bmp jpg png dds hdr; do
    for side in old new; do
        mkdir -p "$work/$side/readonly/out/folder.$ext"
        printf 'keep' >"$work/$side/readonly/out/locked.$ext" &&
            chmod 444 "$work/$side/readonly/out/locked.$ext"
    done
    source=tree/samples/fence_panel.tga
    [ $ext = hdr ] && source="tree/made/e2tf/glow float.texture"
    step "readonly-$ext" --home home convert "$source" --output "out/locked.$ext"
    step "readonly-folder-$ext" --home home convert "$source" --output "out/folder.$ext"
done

edits=("--grey" "--invert-alpha" "--remove-alpha" "--add-alpha" "--add-alpha=77"
    "--mask 255,255,255,40" "--mask=0,0,0,0" "--merge-alpha tree/samples/brick_wall.tga"
    "--normalmap" "--fix-uniform" "--fix-uniform --pixel-count 7 --pixel-change 90 --pixel-even"
    "--fix-uniform --pixel-count=127 --pixel-change=1"
    "--colour-copy out/colour.tga" "--alpha-copy out/alpha.bmp"
    "--grey --invert-alpha" "--remove-alpha --add-alpha=10 --invert-alpha"
    "--mask 10,10,10,5 --alpha-copy out/mask.tga --colour-copy out/rest.jpg"
    "--normalmap --fix-uniform" "--grey --normalmap --output out/n.png"
    "--invert-alpha --output out/i.dds" "--add-alpha=0 --merge-alpha tree/samples/sky.jpg")
new_case edits empty
mkdir -p "$work/old/edits/out" "$work/new/edits/out"
edit_selection=("${selection[@]:0:6}" "${selection[@]:7:3}" "${selection[@]:10:1}")
[ $quick = 0 ] || edit_selection=("${selection[@]:1:2}" "${selection[@]:4:1}")
for f in "${edit_selection[@]}"; do
    for e in "${edits[@]}"; do
        # shellcheck disable=SC2086
        step "convert-edit $e:${f#tree/}" --home home convert "$f" $e
    done
done
new_case edits-settings settings
mkdir -p "$work/old/edits-settings/out" "$work/new/edits-settings/out"
step convert-edit-jobs2 --home home convert --jobs 2 "${selection[@]}" --grey --add-alpha=9 \
    --alpha-copy out/a.tga
step convert-edit-normalmap-all --home home convert "${selection[@]}" --normalmap
step convert-edit-fix-all --home home convert "${selection[@]}" --fix-uniform --pixel-even

trawl_case() {  # NAME HOME ARG...
    local name=$1 home=$2
    [[ $quick = 1 && " $quick_trawls " != *" $name "* ]] && return
    shift 2
    new_case "$name" "$home"
    step "trawl-$name" --home home trawl "$@"
}
quick_trawls="defaults bmp-jpg no-overwrite jobs2 quiet settings damaged-language"
trawl_case defaults empty tree
trawl_case bmp-jpg empty --bmp --jpg tree
trawl_case no-overwrite empty --no-overwrite --bmp --jpg tree
[ "$case_name" != no-overwrite ] ||
    step trawl-no-overwrite-again --home home trawl --no-overwrite --bmp --jpg tree
trawl_case fix-uniform empty --fix-uniform --no-textures tree
trawl_case no-fix-uniform empty --no-fix-uniform --textures tree
trawl_case jobs1 empty --jobs 1 --bmp --jpg tree
trawl_case jobs2 empty --jobs=2 --bmp --jpg tree
trawl_case quiet empty --quiet --bmp --jpg tree
trawl_case verbose empty --verbose --bmp --jpg --no-overwrite tree
trawl_case settings settings tree
trawl_case settings-overridden settings --no-bmp --no-jpg --overwrite --no-fix-uniform tree
trawl_case damaged-settings damaged tree
trawl_case damaged-language language --bmp tree
trawl_case subfolder empty --bmp tree/made/
[ "$case_name" != subfolder ] ||
    step trawl-subfolder-again --home home trawl --bmp tree/made/
trawl_case file-not-folder empty tree/samples/sky.jpg

[ "$allowed" -eq 0 ] || echo "compare-cli: $allowed differences allowed as mends"
echo "compare-cli: $runs runs, ${#compared[@]} files compared, $differences differences"
[ "$differences" -eq 0 ]
