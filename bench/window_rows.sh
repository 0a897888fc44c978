#!/usr/bin/env bash
# The main window with millions of twin rows, worked as a user works it: a
# folder of COUNT identical 100-byte files (COUNT * (COUNT - 1) / 2 rows)
# searched in Quick Dir at 100% with Hash on; the End key, a double-click on
# the last twin row and Detail View of its pair; then Delete ALL of column A
# in Delete mode and of column B in Recycle mode, each of which must leave
# exactly one copy. Every step is checked and timed by bench_window_report.
# Needs DISPLAY (an Xvfb of your own).
#   bench/window_rows.sh [WINDOWS_BUILD] [COUNT]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build/windows}" && pwd)
count=${2:-3000}
: "${DISPLAY:?the window needs a display (Xvfb)}"
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix} WINEDEBUG=-all
cmake --build "$build" --target bench_window_report >/dev/null
work=$(mktemp -d /tmp/kestrow-window-rows.XXXXXX)
trap 'rm -rf "$work"' EXIT
# The recycle bin of this run stays inside its folder.
export XDG_DATA_HOME=$work/data
folder=$work/copies
windows() { echo "Z:${1//\//\\}"; }

makeCopies() {
    rm -rf "$folder" && mkdir "$folder"
    head -c 100 /dev/urandom >"$folder/0"
    for ((i = 1; i < count; i++)); do cp "$folder/0" "$folder/$i"; done
}

failed=0
session() {  # what to do after the search
    echo "== $count identical files, $((count * (count - 1) / 2)) twin rows: $*"
    /usr/bin/time -f 'process: %e s, %M KB resident peak' wine "$build/bench_window_report.exe" rows \
        "$(windows "$folder")\\" "$@" 2>&1 || failed=1
}

copiesLeft() {  # expected
    local left
    left=$(find "$folder" -type f | wc -l)
    if [[ $left -eq $1 ]]; then echo "  ok   $left copy left"; else echo "  FAIL $left copies left"; failed=1; fi
}

uptime
"$here/scripts/wine-run.sh" cmd /c exit
makeCopies
session detail
copiesLeft "$count"
session A delete
copiesLeft 1
makeCopies
session B recycle
copiesLeft 1
exit $failed
