#!/usr/bin/env bash
# Looks at the Windows desktop program as its users meet it: under Wine, on a
# virtual display (Xvfb) with a window manager (openbox). After
# scripts/windows.sh has built build-windows/ui/skeinpress.exe:
#   scripts/windows-look.sh [SHOTS]
# It opens a DXT5 texture from the command line and checks, in a screenshot,
# that the file's name is on screen (read by tesseract) and that the colour
# pane shows the texture's most common colour; opens it again through
# File > Open; opens Display Actual Size and the colour-tolerance dialog; and
# converts it with "-close", makes a normal map with "-normalmap" and trawls
# a folder with "-trawl -close -fixcolour", as the content manager does. The screenshots go to SHOTS (default
# build-windows/screenshots). Exit status 1 when a check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/windows-common.sh
build=$root/build-windows
exe=$build/ui/skeinpress.exe
cli=$build/cli/skeinpress-cli.exe
shots=$(realpath -m "${1:-$build/screenshots}")
[[ -f $exe && -f $cli ]] || { echo "windows-look: build $exe first (scripts/windows.sh)" >&2; exit 1; }
bash scripts/install-deps.sh wine64 xvfb xauth openbox xdotool tesseract-ocr imagemagick x11-utils

export WINEPREFIX=$deps/wine-look WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
magick=/usr/bin/convert
work=$(mktemp -d)
pids=()
cleanup() {
    "$wineserver" -k 2>/dev/null || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$shots"
failures=0
check_name=windows-look

# A display of its own: the first free number from 90 on.
display=90
while [[ -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
export DISPLAY=:$display
Xvfb "$DISPLAY" -screen 0 1280x960x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 2
openbox >/dev/null 2>&1 &
pids+=($!)
[[ -f $WINEPREFIX/system.reg ]] || "$wine" wineboot --init >/dev/null 2>&1 || true

winpath() { "$wine" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
shoot() { import -display "$DISPLAY" -window root "$shots/$1.png"; }
# Reads window $1's text into $2.txt: the window alone, enlarged, reads far
# better than the whole screen in Wine's small default font.
read_window() {
    import -display "$DISPLAY" -window "$1" "$work/window.png"
    "$magick" "$work/window.png" -resize 200% "$work/window-large.png"
    tesseract "$work/window-large.png" "$2" >/dev/null 2>&1
}
# Waits for a window whose title holds $1; prints its id.
window_named() {
    local id
    for _ in $(seq 60); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1) && [[ -n $id ]] &&
            { echo "$id"; return 0; }
        sleep 1
    done
    return 1
}
# The bounding box (WxH+X+Y) of the screenshot's pixels within 4 % of colour $2.
colour_box() {
    "$magick" "$1" -fuzz 4% -fill white -opaque "$2" -fill black +opaque white -trim \
        -format '%@' info: 2>/dev/null
}

cp samples/route_sign.texture "$work/"
texture=$(winpath "$work/route_sign.texture")

# The texture's most common colour, from the TGA the Windows converter writes.
"$wine" "$cli" --home "$(winpath "$work")" convert "$texture" >/dev/null
colour=$("$magick" "$work/route_sign.tga" -alpha off -format %c histogram:info:- |
    sort -rn | head -n 1 | grep -o '#[0-9A-Fa-f]\{6\}')
echo "windows-look: the texture's most common colour is $colour"
rm "$work/route_sign.tga" "$work/route_sign.texture.txt"

# 1. From the command line.
"$wine" "$exe" "$texture" >"$work/run1.log" 2>&1 &
pids+=($!)
main=$(window_named Skeinpress) || { echo "windows-look: no window appeared" >&2; exit 1; }
xdotool windowactivate --sync "$main" 2>/dev/null || true
sleep 4
shoot main-window
read_window "$main" "$work/main"
check "the file's name is on screen" grep -q 'route_sign' "$work/main.txt"
check "the size line is on screen" grep -qE '[0-9]+ *[x×] *[0-9]+' "$work/main.txt"
box=$(colour_box "$shots/main-window.png" "$colour")
check "the colour pane shows $colour ($box)" test -n "$box" -a "${box%%x*}" -gt 20

# 2. Display Actual Size: the first item of the colour pane's pop-up menu.
if [[ -n $box ]]; then
    read -r w h x y < <(sed 's/[x+]/ /g' <<<"$box")
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 3
    sleep 1
    xdotool key Down Return
    sleep 3
    shoot actual-size
    xdotool key Escape
    sleep 1
    # 3. The colour-tolerance dialog: "Create alpha mask", the fourth item.
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 3
    sleep 1
    xdotool key Down Down Down Down Return
    sleep 3
    shoot tolerance-dialog
    xdotool key Escape
    sleep 1
fi
xdotool windowactivate --sync "$main" key ctrl+q 2>/dev/null || true
sleep 2

# 4. Through File > Open, typing the name into the dialog.
"$wine" "$exe" >"$work/run2.log" 2>&1 &
pids+=($!)
main=$(window_named Skeinpress) || { echo "windows-look: no window appeared" >&2; exit 1; }
xdotool windowactivate --sync "$main" 2>/dev/null || true
sleep 2
xdotool key ctrl+o
sleep 3
xdotool type --delay 50 "$texture"
xdotool key Return
sleep 4
shoot file-open
read_window "$main" "$work/open"
check "File > Open shows the file's name" grep -q 'route_sign' "$work/open.txt"
xdotool key ctrl+q
sleep 2

# 5. Converted from the command line, as the content manager asks: one file,
# a normal map, and a folder the way the open-with batch file passes it.
timeout 120 "$wine" "$exe" -close "$texture" >"$work/run3.log" 2>&1 || true
check "-close wrote route_sign.tga" test -s "$work/route_sign.tga"
timeout 120 "$wine" "$exe" -normalmap -close "$texture" >"$work/run4.log" 2>&1 || true
check "-normalmap -close wrote a normal map" test -s "$work/route_sign_normal.tga"
mkdir -p "$work/asset folder/sub"
cp samples/*.texture "$work/asset folder/sub/"
timeout 300 "$wine" "$exe" -trawl -close -fixcolour "$(winpath "$work/asset folder")" \
    >"$work/run5.log" 2>&1 || true
textures=$(find "$work/asset folder" -name '*.texture' | wc -l)
tgas=$(find "$work/asset folder" -name '*.tga' | wc -l)
check "-trawl -close -fixcolour converted $tgas of $textures textures" test "$tgas" -eq "$textures"

echo "windows-look: screenshots in $shots"
[[ $failures -eq 0 ]]
