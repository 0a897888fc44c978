#!/usr/bin/env bash
# The main window against the command line under Wine, on the same inputs:
# a "File" comparison of two unrelated files of SIZE_MB megabytes each, and a
# Quick Dir search of TWIN_FILES identical files (n * (n - 1) / 2 twins). The
# window figure runs from Start until the list shows the closing row; it also
# gives the peak private memory. Needs DISPLAY (an Xvfb of your own).
#   bench/window_report.sh [WINDOWS_BUILD] [SIZE_MB] [TWIN_FILES]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/windows}
size=${2:-100}
files=${3:-448}
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=-all
cmake --build "$build" --target bench_window_report kestrow-cli >/dev/null
work=$(mktemp -d /tmp/kestrow-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
windows() { echo "Z:${1//\//\\}"; }
seconds() { local start=$1; echo "scale=2; ($(date +%s%N) - $start) / 1000000000" | bc; }

head -c $((size << 20)) /dev/urandom >"$work/a"
head -c $((size << 20)) /dev/urandom >"$work/b"
mkdir "$work/twins"
head -c 1000 /dev/urandom >"$work/twins/0"
for ((i = 1; i < files; i++)); do cp "$work/twins/0" "$work/twins/$i"; done
cat "$work/a" "$work/b" >/dev/null
"$here/scripts/wine-run.sh" cmd /c exit

echo "== File, two unrelated ${size} MB files"
start=$(date +%s%N)
wine "$build/kestrow-cli.exe" compare "$(windows "$work/a")" "$(windows "$work/b")" >"$work/cli.txt" || true
echo "command line: $(wc -l <"$work/cli.txt") rows in $(seconds "$start") s"
wine "$build/bench_window_report.exe" file "$(windows "$work/a")" "$(windows "$work/b")"

echo "== Quick Dir, $files identical files"
start=$(date +%s%N)
wine "$build/kestrow-cli.exe" scan "$(windows "$work/twins")" >"$work/cli.txt" || true
echo "command line: $(wc -l <"$work/cli.txt") rows in $(seconds "$start") s"
wine "$build/bench_window_report.exe" scan "$(windows "$work/twins")\\"
