#!/usr/bin/env bash
# Makes the Windows installer with NSIS (Debian: nsis) from the unpacked zip:
#   scripts/windows-installer.sh STAGE VERSION OUTFILE
# STAGE is the zip's content (cmake --install BUILD --component windows_zip).
# The programs go to bin\ and their language file and help to
# share\skeinpress\, the rest keeps its place; the uninstaller deletes exactly
# the files listed here, so it never takes anything the user put beside them.
set -euo pipefail
cd "$(dirname "$0")/.."
stage=$(realpath "$1")
version=$2
outfile=$(realpath -m "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Where a file of the zip goes below the install folder.
target_of() {
    case $1 in
    *.exe) echo "bin/$1" ;;
    English.txt | help/*) echo "share/skeinpress/$1" ;;
    *) echo "$1" ;;
    esac
}
nsis_path() { printf '%s' "${1//\//\\}"; }

mapfile -t files < <(cd "$stage" && find . -type f -printf '%P\n' | LC_ALL=C sort)
[[ ${#files[@]} -gt 0 ]] || { echo "windows-installer: $stage is empty" >&2; exit 1; }
{
    echo '!ifdef INSTALL_FILES'
    for file in "${files[@]}"; do
        target=$(target_of "$file")
        folder=$(dirname "$target")
        [[ $folder == . ]] && folder= || folder="\\$(nsis_path "$folder")"
        echo "SetOutPath \"\$INSTDIR$folder\""
        echo "File \"/oname=$(basename "$target")\" \"$stage/$file\""
    done
    echo 'SetOutPath "$INSTDIR"'
    echo '!else'
    for file in "${files[@]}"; do
        echo "Delete \"\$INSTDIR\\$(nsis_path "$(target_of "$file")")\""
    done
    # Folders deepest first, each only if nothing else is left in it.
    for file in "${files[@]}"; do
        folder=$(dirname "$(target_of "$file")")
        while [[ $folder != . ]]; do
            echo "$folder"
            folder=$(dirname "$folder")
        done
    done | LC_ALL=C sort -u | awk '{ print gsub("/", "/"), $0 }' | sort -k1,1nr -k2 |
        while read -r _ folder; do echo "RMDir \"\$INSTDIR\\$(nsis_path "$folder")\""; done
    echo '!endif'
} >"$work/files.nsh"

makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DFILES="$work/files.nsh" \
    -DICON="$PWD/packaging/windows/skeinpress.ico" -DOUTFILE="$outfile" \
    packaging/windows/skeinpress.nsi
echo "$outfile"
