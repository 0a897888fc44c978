#!/usr/bin/env bash
# The 32-bit command line against the native one: on each seeded tree and at
# each percentage, "Directory" is run once by `kestrow` and once by
# `kestrow-cli.exe` under Wine, on a warm cache; the rows must be the same
# (the Windows paths turned back into the tree's own), and each run's time and
# peak memory are printed side by side. Exits 1 when any rows differ.
#   bench/cli_exe_rows.sh NATIVE_BUILD WINDOWS_BUILD [WORK_DIR] [TREE...]
# NATIVE_BUILD holds kestrow and bench_scan_tree, WINDOWS_BUILD kestrow-cli.exe;
# the trees (profiles of bench/scan_tree.cpp, default: directory large headers
# shared copies versions) go to WORK_DIR (default /tmp/kestrow-cli-exe) and are
# deleted after. KESTROW_PERCENTS sets the percentages (default 50 75 90 95);
# KESTROW_BENCH_TIMEOUT bounds each run in seconds (default 900).
set -euo pipefail
native=$(cd "$1" && pwd)
windows=$(cd "$2" && pwd)
work=${3:-/tmp/kestrow-cli-exe}
shift $(($# > 3 ? 3 : $#))
trees=${*:-directory large headers shared copies versions}
limit=${KESTROW_BENCH_TIMEOUT:-900}
export WINEPREFIX=${WINEPREFIX:-$windows/wineprefix} WINEDEBUG=-all
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
status=0

# Runs one search; prints "wall peak-MB", or "cut off" past the limit.
run() {  # rows-file command...
    local rows=$1
    shift
    if /usr/bin/time -f "%e %M" -o "$work/usage" timeout "$limit" "$@" >"$rows" 2>/dev/null; then
        read -r wall peak <"$work/usage"
        printf '%7.2f s %5d MB' "$wall" $((peak / 1024))
    else
        printf '%16s' "cut off"
    fi
}

for tree in $trees; do
    dir=$work/$tree
    "$native/bench_scan_tree" "$dir" "$tree" 1 >/dev/null
    sync
    find "$dir" -type f -print0 | xargs -0 cat >/dev/null
    echo "$tree: $(find "$dir" -type f | wc -l) files, $(du -sh "$dir" | cut -f1)   kestrow | kestrow-cli.exe (Wine)"
    for match in ${KESTROW_PERCENTS:-50 75 90 95}; do
        nativeCell=$(run "$work/native.rows" "$native/kestrow" scan "$dir" --mode directory --match "$match")
        exeCell=$(run "$work/exe.raw" wine "$windows/kestrow-cli.exe" scan "Z:${dir//\//\\}" --mode directory \
            --match "$match")
        # The rows write a backslash as \\ (a quoted byte): Z:\\work\\tree\\a -> /work/tree/a.
        sed 's/\r$//; s#\\\\#/#g; s#Z:/#/#g' <"$work/exe.raw" >"$work/exe.rows"
        rowCount=$(grep -c . "$work/native.rows" || true)
        if cmp -s <(head -n -1 "$work/native.rows") <(head -n -1 "$work/exe.rows"); then
            verdict="same $rowCount rows"
        else
            verdict="ROWS DIFFER"
            status=1
        fi
        printf '  %3s%%  %s | %s  %s\n' "$match" "$nativeCell" "$exeCell" "$verdict"
    done
    rm -rf "$dir"
done
exit $status
