#!/usr/bin/env bash
# Millions of twin rows: folders of 1,000, 3,000 and 5,000 identical 100-byte
# files (n * (n - 1) / 2 rows each), searched in Quick Dir at 100%. For each:
# the time to the closing row, the peak memory and the bytes per row of
#   - `kestrow scan` (prints every row, keeps only those not printed yet),
#   - bench_search_rows (keeps every row in the row store, as the window does),
#   - with KESTROW_WINDOWS_BUILD set (a build/windows), kestrow-cli.exe under
#     Wine and the main window (bench_window_report.exe, needs DISPLAY).
#   bench/twin_rows.sh [NATIVE_BUILD] [COUNT...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build/native}" && pwd)
shift $(($# > 0 ? 1 : 0))
counts=${*:-1000 3000 5000}
windowsBuild=${KESTROW_WINDOWS_BUILD:-}
work=$(mktemp -d /tmp/kestrow-twin-rows.XXXXXX)
trap 'rm -rf "$work"' EXIT
cmake --build "$build" --target kestrow bench_search_rows >/dev/null

# Runs a command under /usr/bin/time; prints seconds, peak MB and bytes per row.
measure() {
    local label=$1 rows=$2
    shift 2
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" >"$work/out" 2>/dev/null || true
    read -r seconds kilobytes <"$work/time"
    printf '  %-22s %7.2f s  %8.1f MB peak  %6.1f bytes/row  (%s)\n' "$label" "$seconds" \
        "$(echo "$kilobytes / 1024" | bc -l)" "$(echo "$kilobytes * 1024 / $rows" | bc -l)" \
        "$(tail -n 1 "$work/out" | tr '\t' ' ')"
}

windows() { echo "Z:${1//\//\\}"; }

for count in $counts; do
    folder=$work/$count
    mkdir "$folder"
    head -c 100 /dev/urandom >"$folder/0"
    for ((i = 1; i < count; i++)); do cp "$folder/0" "$folder/$i"; done
    rows=$((count * (count - 1) / 2))
    echo "== $count identical files, $rows twin rows"
    measure "kestrow scan" "$rows" "$build/kestrow" scan "$folder" --match 100
    measure "row store (window)" "$rows" "$build/bench_search_rows" "$folder"
    if [[ -n $windowsBuild ]]; then
        export WINEPREFIX=${WINEPREFIX:-$windowsBuild/wineprefix} WINEDEBUG=-all
        measure "kestrow-cli.exe (Wine)" "$rows" wine "$windowsBuild/kestrow-cli.exe" scan "$(windows "$folder")" \
            --match 100
        if [[ -n ${DISPLAY:-} && -f $windowsBuild/bench_window_report.exe ]]; then
            echo "  Kestrow.exe window (Wine):"
            wine "$windowsBuild/bench_window_report.exe" scan "$(windows "$folder")\\" | sed 's/^/    /'
        fi
    fi
    rm -rf "$folder"
done
