#!/usr/bin/env bash
# Tries the Windows installer under Wine, in a fresh Wine prefix of its own:
#   scripts/windows-installer-test.sh SETUP.exe [REPORT-FOLDER]
# Silent install; the files and registry keys it made; a texture opened
# through the association it made (the program must start on it); silent
# uninstall; then the prefix's files and HKEY_CURRENT_USER must be as before.
# The listings before, between and after go to REPORT-FOLDER (default: a
# folder beside SETUP.exe). Exit status 1 when a check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/windows-common.sh
setup=$(realpath "$1")
report=$(realpath -m "${2:-${setup%.exe}-test}")
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/skeinpress-installer-wine.XXXXXX)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
display_pid=
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$WINEPREFIX"
      [[ -z $display_pid ]] || kill "$display_pid" 2>/dev/null || true' EXIT
# The desktop program draws on Windows's own platform: under Wine, a display.
if [[ -z ${DISPLAY:-} ]]; then
    display=90
    while [[ -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
    Xvfb ":$display" -screen 0 1280x960x24 -nolisten tcp >/dev/null 2>&1 &
    display_pid=$!
    export DISPLAY=:$display
fi
rm -rf "$report"
mkdir -p "$report"
failures=0
check_name=installer-test

"$wine" wineboot --init >/dev/null 2>&1 || true
"$wineserver" -w
# What Wine changes by itself (timestamps of its own keys, its font cache) is
# left out of the comparison.
# The uninstaller's copy of itself in %TEMP% (~nsuN.tmp) is Windows's to
# remove at the next restart; Wine's restart takes the file but not its folder.
snapshot() {
    (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -print | LC_ALL=C sort) |
        grep -v '/Temp/~nsu[0-9]*\.tmp$' >"$report/$1-files.txt"
    "$wine" reg query 'HKCU\Software' /s 2>/dev/null | tr -d '\r' |
        awk '/^HKEY/ { key = $0; next } /^$/ { next } { print key " :: " $0 }' |
        grep -v -e '^HKEY_CURRENT_USER\\Software\\Wine' -e '\\Explorer' >"$report/$1-registry.txt"
}
query() { "$wine" reg query "$1" "${@:2}" 2>/dev/null | tr -d '\r'; }

snapshot before
"$wine" "$setup" /S || { echo "installer-test: the installer failed" >&2; exit 1; }
"$wineserver" -w
snapshot installed
diff "$report/before-files.txt" "$report/installed-files.txt" >"$report/install-files.diff" || true
diff "$report/before-registry.txt" "$report/installed-registry.txt" >"$report/install-registry.diff" || true

appdata_local=$("$wine" cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
install=$("$wine" winepath -u "$appdata_local\\Programs\\Skeinpress" 2>/dev/null)
check "both programs are installed" test -f "$install/bin/skeinpress.exe" -a -f "$install/bin/skeinpress-cli.exe"
check "the language file and help are in share\\skeinpress" \
    test -f "$install/share/skeinpress/English.txt" -a -f "$install/share/skeinpress/help/index.html"
check "README, licence and notices are there" \
    test -f "$install/README-Windows.txt" -a -f "$install/LICENSE.txt" -a -f "$install/THIRD-PARTY-NOTICES.txt"
check "a Start-menu entry" test -n "$(find "$WINEPREFIX/drive_c/users" -name 'Skeinpress.lnk')"
for ext in .texture .tga .bmp .jpg .jpeg .png; do
    check "\"Open with Skeinpress\" on $ext" grep -q 'Open with Skeinpress' \
        <(query "HKCU\\Software\\Classes\\SystemFileAssociations\\$ext\\shell\\skeinpress")
    check "Skeinpress offered for $ext" grep -q 'Skeinpress.Image' \
        <(query "HKCU\\Software\\Classes\\$ext\\OpenWithProgids")
done
check ".texture, opened by nothing else, opens in Skeinpress" grep -q 'Skeinpress.Image' \
    <(query 'HKCU\Software\Classes\.texture' /ve)
check "an entry under Apps" grep -q 'uninstall.exe' \
    <(query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Skeinpress')

# Through the association, as a double-click in Explorer does: the class the
# extension names, and that class's open command with the file for %1. (Wine
# 8 does not merge the user's classes into HKEY_CLASSES_ROOT as Windows does,
# so "start" cannot find them; the command is run as Explorer would run it.)
cp samples/route_sign.texture "$WINEPREFIX/drive_c/route_sign.texture"
value() { sed -n 's/.*REG_[A-Z_]*[[:space:]]*//p' | head -n 1; }
class=$(query 'HKCU\Software\Classes\.texture' /ve | value)
command=$(query "HKCU\\Software\\Classes\\$class\\shell\\open\\command" /ve | value)
program=$(sed -n 's/^"\([^"]*\)".*/\1/p' <<<"$command")
check "the open command names the installed program ($command)" \
    grep -qx '"[^"]*\\bin\\skeinpress.exe" "%1"' <<<"$command"
[[ -z $program ]] ||
    (env -u QT_QPA_PLATFORM "$wine" "$program" 'C:\route_sign.texture' >/dev/null 2>&1 &)
started=no
for _ in $(seq 30); do
    if pgrep -f 'bin.skeinpress\.exe.*route_sign' >/dev/null; then started=yes; break; fi
    sleep 1
done
check "the program started on a texture through the association" test $started = yes
"$wineserver" -k 2>/dev/null || true
rm -f "$WINEPREFIX/drive_c/route_sign.texture"

# The user's own settings stay unless asked for.
appdata=$("$wine" winepath -u "$("$wine" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')" 2>/dev/null)
mkdir -p "$appdata/skeinpress"
echo "[Settings]" >"$appdata/skeinpress/skeinpress.ini"
"$wine" "$install/uninstall.exe" /S
"$wineserver" -w
sleep 2 # the uninstaller runs from a copy of itself, which goes on alone
"$wineserver" -w
# That copy, in %TEMP%, is deleted when Windows restarts: so is it here.
"$wine" wineboot --restart >/dev/null 2>&1 || true
"$wineserver" -w
check "the settings are kept" test -f "$appdata/skeinpress/skeinpress.ini"
rm -rf "$appdata/skeinpress"
snapshot after
diff "$report/before-files.txt" "$report/after-files.txt" >"$report/left-files.diff" &&
    check "no file is left" true || check "no file is left (see $report/left-files.diff)" false
diff "$report/before-registry.txt" "$report/after-registry.txt" >"$report/left-registry.diff" &&
    check "no registry key or value is left" true ||
    check "no registry key or value is left (see $report/left-registry.diff)" false
echo "installer-test: listings in $report"
[[ $failures -eq 0 ]]
