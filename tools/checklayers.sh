#!/usr/bin/env bash
# Checks that the program's layers only look down, from the #include lines alone (no build):
#   model/ includes only model/ and res/
#   board/ includes only model/, board/ and res/
#   game/ outside game/widgets/ includes only model/, board/, game/ and res/
#   res/ includes only res/
#   a core file (model/, board/, game/ outside their widgets/ folders, res/) includes no widget
#     header: neither one of ours (*/widgets/) nor one of Qt's Widgets module
#   nothing in model/, board/, game/, res/ or ui/ includes app/
# Tests, benchmarks and tools are not checked: the main window's tests must include app/.
# Prints every violation as file:line and exits 1 when there is one.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# Qt's Widgets headers: the installed module's file names when Qt is there, else (on a fresh
# machine, before the build installs it) the list kept beside this script. Names that QtCore or
# QtGui also carry (Qt 6 moved QAction and friends to QtGui) are not widget headers.
widget_headers=$(mktemp)
trap 'rm -f "$widget_headers"' EXIT
qt=""
for d in /usr/include/x86_64-linux-gnu/qt6 /usr/include/qt6; do
    [ -d "$d/QtWidgets" ] && qt=$d && break
done
if [ -n "$qt" ]; then
    ls "$qt/QtWidgets" | grep -vxF -f <(ls "$qt/QtCore" "$qt/QtGui") | cat - tools/qtwidgets-headers.txt \
        | sort -u >"$widget_headers"
else
    cp tools/qtwidgets-headers.txt "$widget_headers"
fi

mapfile -t files < <(find model board game res ui app -type f \( -name '*.h' -o -name '*.cpp' \) | LC_ALL=C sort)

awk -v widgetlist="$widget_headers" '
BEGIN {
    while ((getline name < widgetlist) > 0)
        qtwidgets[name] = 1
    ours["model"] = ours["board"] = ours["game"] = ours["res"] = ours["ui"] = ours["app"] = 1
    allowed["model"] = " model/ res/ "
    allowed["board"] = " model/ board/ res/ "
    allowed["game"] = " model/ board/ game/ res/ "
    allowed["res"] = " res/ "
    bad = 0
}

# Folds "." and ".." out of a relative path.
function normalise(path,    n, parts, out, k, i) {
    n = split(path, parts, "/")
    k = 0
    for (i = 1; i <= n; i++) {
        if (parts[i] == "." || parts[i] == "")
            continue
        if (parts[i] == ".." && k > 0 && out[k] != "..") {
            k--
            continue
        }
        out[++k] = parts[i]
    }
    path = ""
    for (i = 1; i <= k; i++)
        path = path (i > 1 ? "/" : "") out[i]
    return path
}

function report(what) {
    printf "%s:%d: %s\n", FILENAME, FNR, what
    bad++
}

FNR == 1 {
    split(FILENAME, p, "/")
    top = p[1]
    inwidgets = (p[2] == "widgets")
    core = (top in allowed) && !inwidgets
    # game/widgets/ sits above the game: it may use ui/ like the other widgets.
    ruled = (top in allowed) && !(top == "game" && inwidgets)
    dir = FILENAME
    sub(/\/[^\/]*$/, "", dir)
}

/^[ \t]*#[ \t]*include[ \t]*[<"]/ {
    line = $0
    sub(/^[ \t]*#[ \t]*include[ \t]*/, "", line)
    quoted = (substr(line, 1, 1) == "\"")
    target = substr(line, 2)
    sub(/[">].*$/, "", target)
    shown = quoted ? "\"" target "\"" : "<" target ">"

    # A quoted name is first looked up beside the including file.
    path = target
    if (quoted && (target !~ /\// || target ~ /^\.\.?\//)) {
        rel = normalise(dir "/" target)
        if ((getline probe < rel) >= 0) {
            close(rel)
            path = rel
        }
    }
    split(path, t, "/")
    if (!(t[1] in ours) || t[2] == "") {
        # Not one of our folders: a library header.
        name = target
        sub(/^.*\//, "", name)
        if (core && (target ~ /^QtWidgets\// || (target !~ /\// && name in qtwidgets)))
            report("includes " shown ", a Qt Widgets header; core files use QtCore and QtGui only")
        next
    }
    if (t[1] == "app" && top != "app")
        report("includes " shown "; nothing outside app/ includes app/")
    else if (ruled && index(allowed[top], " " t[1] "/ ") == 0)
        report("includes " shown "; " top "/ includes only" substr(allowed[top], 1, length(allowed[top]) - 1))
    else if (core && t[2] == "widgets")
        report("includes " shown ", a widget header; core files include no widgets/ folder")
}

END {
    if (bad) {
        printf "%d include%s against the layers\n", bad, bad == 1 ? "" : "s"
        exit 1
    }
}
' "${files[@]}"
