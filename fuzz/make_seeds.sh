#!/usr/bin/env bash
# Builds the seed folders of the fuzz targets at run time, from the conformance
# corpus in tests/corpus, the project's own test inputs and a few small files
# generated here. Nothing is copied into the repository.
#
#   fuzz/make_seeds.sh OUT_DIR [CORPUS_DIR]
#
# OUT_DIR gets one folder per target: tga bmp jpeg png texture language settings.
set -euo pipefail

if [[ $# -lt 1 ]]; then
    echo "usage: $0 OUT_DIR [CORPUS_DIR]" >&2
    exit 2
fi
out=$1
repo=$(cd "$(dirname "$0")/.." && pwd)
corpus=${2:-$repo/tests/corpus}

mkdir -p "$out"/{tga,bmp,jpeg,png,texture,language,settings}

# Copies every file under $1 whose name ends in one of the given extensions
# (any letter case) into folder $2, named after its path so that equal names
# from different folders do not collide.
collect() {
    local from=$1 to=$2
    shift 2
    [[ -d $from ]] || return 0
    local pattern=()
    for ext in "$@"; do
        pattern+=(-o -iname "*$ext")
    done
    find "$from" -type f \( "${pattern[@]:1}" \) -print0 |
        while IFS= read -r -d '' file; do
            local name=${file#"$from"/}
            cp "$file" "$to/${name//\//_}"
        done
}

if [[ -d $corpus ]]; then
    collect "$corpus/tga" "$out/tga" .tga
    collect "$corpus/bmp" "$out/bmp" .bmp
    collect "$corpus/jpeg" "$out/jpeg" .jpg .jpeg
    # The PngSuite files and libpng's own crash files; not the references,
    # which repeat the suite's pictures.
    collect "$corpus/png/suite" "$out/png" .png
    collect "$corpus/png/crashers" "$out/png" .png
    collect "$corpus/texture" "$out/texture" .texture
    # Description files are line-based text like the language and settings files.
    collect "$corpus/texture" "$out/language" .txt
    collect "$corpus/texture" "$out/settings" .txt
else
    echo "make_seeds: no corpus at $corpus" >&2
    exit 1
fi

# Inputs that once broke a reader or parser are the best seeds of all.
for target in tga bmp jpeg png texture language settings; do
    collect "$repo/tests/fuzz_regressions/$target" "$out/$target" ""
done
collect "$repo/samples" "$out/tga" .tga
collect "$repo/samples" "$out/bmp" .bmp
collect "$repo/samples" "$out/jpeg" .jpg .jpeg
collect "$repo/samples" "$out/png" .png
collect "$repo/samples" "$out/texture" .texture
collect "$repo/data" "$out/language" .txt
collect "$repo/data" "$out/settings" .ini

# Small generated files: one of each kind every reader accepts, so that the
# fuzzers start with fast inputs that reach the pixel code.
# The system interpreter carries Pillow where a user-level one may not.
python=python3
for candidate in python3 /usr/bin/python3; do
    if "$candidate" -c "import PIL" 2>/dev/null; then
        python=$candidate
        break
    fi
done
"$python" - "$out" <<'PY'
import io, os, struct, sys

out = sys.argv[1]

def write(folder, name, data):
    with open(os.path.join(out, folder, name), "wb") as f:
        f.write(data)

def tga(w, h, depth, image_type, pixels, descriptor=0, cmap=b"", cmap_bits=0, ident=b""):
    cmap_len = len(cmap) // max(1, (cmap_bits + 7) // 8) if cmap else 0
    header = struct.pack("<BBBHHBHHHHBB", len(ident), 1 if cmap else 0, image_type,
                         0, cmap_len, cmap_bits, 0, 0, w, h, depth, descriptor)
    return header + ident + cmap + pixels

write("tga", "gen_24.tga", tga(4, 3, 24, 2, bytes(range(36))))
write("tga", "gen_32_topdown.tga", tga(3, 2, 32, 2, bytes(range(24)), descriptor=0x28))
write("tga", "gen_16_rtl.tga", tga(2, 2, 16, 2, bytes(range(8)), descriptor=0x10, ident=b"id"))
palette = bytes(i * 3 % 256 for i in range(16 * 3))
write("tga", "gen_8_palette.tga", tga(4, 4, 8, 1, bytes(i % 16 for i in range(16)),
                                     cmap=palette, cmap_bits=24))

def bmp(w, h, bits, rows, compression=0, palette=b""):
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, compression, len(rows), 2835, 2835,
                       len(palette) // 4, 0)
    offset = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + info + palette + rows

def padded_rows(w, h, bytes_per_pixel):
    stride = (w * bytes_per_pixel + 3) & ~3
    return b"".join(bytes((x * 7 + y * 13) % 256 for x in range(w * bytes_per_pixel)).ljust(stride, b"\0")
                    for y in range(h))

write("bmp", "gen_24.bmp", bmp(3, 2, 24, padded_rows(3, 2, 3)))
write("bmp", "gen_32.bmp", bmp(2, 2, 32, padded_rows(2, 2, 4)))
write("bmp", "gen_24_topdown.bmp", bmp(3, -2, 24, padded_rows(3, 2, 3)))

try:
    from PIL import Image
    picture = Image.new("RGB", (17, 9))
    picture.putdata([((x * 15) % 256, (y * 28) % 256, (x * y) % 256) for y in range(9) for x in range(17)])
    variants = {
        "gen_baseline.jpg": dict(quality=75),
        "gen_progressive.jpg": dict(quality=50, progressive=True),
        "gen_444.jpg": dict(quality=90, subsampling=0),
        "gen_restart.jpg": dict(quality=60, restart_marker_blocks=1),
    }
    for name, options in variants.items():
        data = io.BytesIO()
        try:
            picture.save(data, "JPEG", **options)
        except TypeError:
            options.pop("restart_marker_blocks", None)
            picture.save(data, "JPEG", **options)
        write("jpeg", name, data.getvalue())
    for mode, name in (("L", "gen_grey.jpg"), ("CMYK", "gen_cmyk.jpg")):
        data = io.BytesIO()
        picture.convert(mode).save(data, "JPEG", quality=70)
        write("jpeg", name, data.getvalue())
except ImportError:
    sys.stderr.write("make_seeds: Pillow is missing; no generated JPEG seeds\n")

# E2TF textures: one of each format, a cube map and mip levels, then damaged
# copies (cut short, a size table that lies, a bad format code).
def e2tf(code, w, h, levels, alpha=1, kind=0, block=b""):
    faces = len(levels[0])
    b = b"FT2E" + struct.pack("<III", 7, w, h) + bytes([0, len(levels), alpha, kind, faces, 3, 3, 1])
    b += code + block + bytes([90, 80, 70, 255])
    b += b"".join(struct.pack("<I", len(face)) for level in levels for face in level)
    return b + b"".join(face for level in reversed(levels) for face in level)

def noise(n, seed):
    out = bytearray()
    for _ in range(n):
        seed = (seed * 1664525 + 1013904223) & 0xFFFFFFFF
        out.append(seed >> 24)
    return bytes(out)

solid_astc = bytes([0xFC, 0xFD] + [0xFF] * 6) + bytes([0x80] * 8)
e2tf_seeds = {
    "gen_e2tf_abgr.texture": e2tf(b"abgr", 3, 2, [[noise(24, 1)]], alpha=3),
    "gen_e2tf_dxt1.texture": e2tf(b"1txd", 8, 4, [[noise(16, 2)], [noise(8, 3)], [noise(8, 4)]], alpha=2),
    "gen_e2tf_dxt3.texture": e2tf(b"3txd", 4, 4, [[noise(16, 5)]]),
    "gen_e2tf_dxt5.texture": e2tf(b"5txd", 6, 5, [[noise(64, 6)], [noise(16, 7)]], alpha=3),
    "gen_e2tf_float.texture": e2tf(b"f4dh", 2, 1, [[struct.pack("<8f", 7, 0.5, -1, 1, 0.25, 0, 0, 0.2)]]),
    "gen_e2tf_astc.texture": e2tf(b"ctsa", 6, 5, [[solid_astc]], block=bytes([6, 5])),
    "gen_e2tf_cube.texture": e2tf(b"abgr", 1, 1, [[noise(4, 8 + f) for f in range(6)]], kind=2),
}
for name, data in e2tf_seeds.items():
    write("texture", name, data)
dxt5 = e2tf_seeds["gen_e2tf_dxt5.texture"]
write("texture", "gen_e2tf_cut.texture", dxt5[:-7])
write("texture", "gen_e2tf_header_only.texture", dxt5[:30])
write("texture", "gen_e2tf_table_lies.texture", dxt5[:36] + struct.pack("<I", 0xFFFFFFF0) + dxt5[40:])
write("texture", "gen_e2tf_bad_code.texture", dxt5[:24] + b"6txd" + dxt5[28:])
write("texture", "gen_e2tf_astc_3x3.texture",
      e2tf_seeds["gen_e2tf_astc.texture"][:28] + bytes([3, 3]) + e2tf_seeds["gen_e2tf_astc.texture"][30:])

write("language", "gen_language.txt",
      b"menu File|File\r\nMENU OPEN  |  Open...\r\nmenu SaveAs|Save|As\r\n"
      b"message Opened|  Opened\r\nlabel Size|\rbutton Stop|\tStop\n"
      b"a|b|c|d|e|\r\n" + b"message Long|" + b"x" * 300 + b"\r\n")
write("settings", "gen_settings.ini",
      b"[File]\r\nLanguage=English.txt\r\n[MRU]\r\nlastfile=\"C:\\wagon.texture\"\r\n"
      b"default_dir='/home/user/trainz'\r\n[Paths]\r\neditor_dir=\r\n[Options]\r\nCloseOnDone=1\r\n"
      b"DoBMPs=0\r\nBGroundColour=8421504\r\nTrawlSpeed=abc\r\nNormalMapAlpha=-5\r\n"
      b"[Position]\r\nLeft=200\r\nTop=100\r\n[PixelSet]\r\nCount=3\r\nChange=20\r\nRandom=1\r\n"
      b"[Program]\r\nVersion=1.22\r\n")
PY

chmod -R u+w "$out"
for target in tga bmp jpeg png texture language settings; do
    echo "seeds: $target $(find "$out/$target" -type f | wc -l)"
done
