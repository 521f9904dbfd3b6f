#!/usr/bin/env bash
# Fails, naming each file and line, when an include reaches up a layer:
#   core/ includes from app/, cli/ or ui/;
#   app/ includes from cli/ or ui/;
#   cli/ includes from ui/;
#   tests/core/ includes from app/, cli/ or ui/, tests/app/ from cli/ or ui/;
#   anything in core/, app/, cli/, fuzz/ or tests/ outside tests/ui/ includes a
#   Qt header (<QImage>, <QtCore/...>, <qglobal.h>...).
# Includes are taken as written from the top or, quoted, relative to the
# including file, so "../ui/x.h" counts as ui/. Then the libraries' link lines: skeinpress_core
# links no other layer and no Qt; skeinpress_app links neither cli, ui nor Qt;
# the command line's library links neither ui nor Qt.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 2

status=0
# One pass over every include line ("FILE:LINE:#include ..."), judged in awk.
report=$(find core app cli fuzz tests -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' \
    -o -name '*.cc' -o -name '*.inc' \) -print0 | sort -z |
    xargs -0r grep -nHE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' |
    awk '
    # A path with "." and ".." taken out; "" when it climbs above the top.
    function normal(path,    n, parts, out, k, i) {
        n = split(path, parts, "/"); k = 0
        for (i = 1; i <= n; i++) {
            if (parts[i] == "" || parts[i] == ".") continue
            if (parts[i] == "..") { if (k == 0) return ""; k--; continue }
            out[++k] = parts[i]
        }
        path = ""
        for (i = 1; i <= k; i++) path = path (i > 1 ? "/" : "") out[i]
        return path
    }
    {
        file = $0; sub(/:.*/, "", file)
        rest = substr($0, length(file) + 2)
        line = rest; sub(/:.*/, "", line)
        text = substr(rest, length(line) + 2)
        if (!match(text, /include[ \t]*[<"][^>"]+[>"]/)) next
        inc = substr(text, RSTART, RLENGTH); sub(/^include[ \t]*/, "", inc)
        quoted = substr(inc, 1, 1) == "\""
        inc = substr(inc, 2, length(inc) - 2)

        if (file !~ /^(ui|tests\/ui)\// &&
            inc ~ /^(Qt[A-Za-z]*\/|Q[A-Z][A-Za-z0-9]*$|Q[A-Z][A-Za-z0-9]*\.h$|q[a-z0-9_]+\.h$)/) {
            print file ":" line ": includes the Qt header <" inc "> outside ui/"
            next
        }
        if (file ~ /^(core|tests\/core)\//) banned = "app cli ui"
        else if (file ~ /^(app|tests\/app)\//) banned = "cli ui"
        else if (file ~ /^(cli|tests\/cli)\//) banned = "ui"
        else next

        target = inc
        if (quoted && inc !~ /^(core|app|cli|ui|tests)\//) {
            dir = file; sub(/\/[^\/]*$/, "", dir)
            target = normal(dir "/" inc)
        }
        layer = target; sub(/\/.*/, "", layer)
        if (target == layer) next
        if ((" " banned " ") ~ (" " layer " ")) {
            split(file, part, "/")
            top = part[1] == "tests" ? part[1] "/" part[2] : part[1]
            print file ":" line ": includes \"" inc "\" from " layer "/, a layer above " top "/"
        }
    }')
if [ -n "$report" ]; then
    echo "$report"
    status=1
fi

# The link lines of the layer libraries, from their CMake files.
links_of() {  # TARGET CMAKEFILE
    tr '\n' ' ' <"$2" | grep -oE "target_link_libraries\(\s*$1\b[^)]*\)" || true
}
check_links() {  # TARGET CMAKEFILE PATTERN WHAT
    local found
    found=$(links_of "$1" "$2" | grep -oE "$3" | sort -u | tr '\n' ' ')
    if [ -n "$found" ]; then
        echo "$2: $1 links $found($4)"
        status=1
    fi
}
check_links skeinpress_core core/CMakeLists.txt 'skeinpress_(app|cli|ui)\w*|Qt[0-9]*::\w+' \
    "core links no layer above it and no Qt"
check_links skeinpress_app app/CMakeLists.txt 'skeinpress_(cli|ui)\w*|Qt[0-9]*::\w+' \
    "app links neither cli, ui nor Qt"
check_links skeinpress_cli_lib cli/CMakeLists.txt 'skeinpress_ui\w*|Qt[0-9]*::\w+' \
    "cli links neither ui nor Qt"

[ $status = 0 ] && echo "layering: no include or link reaches up a layer, Qt only in ui/"
exit $status
