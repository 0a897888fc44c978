#!/usr/bin/env bash
# Times "Directory" at 50% and 75% on seeded trees against reading every file
# once and against the floor of comparing (bench_pair_floor: the byte
# positions every pair of fitting sizes must compare up to its early stop,
# divided by the vectorised count's speed measured in the same run, in CPU
# time: the median of several short runs, and the best of them, the floor of a
# machine to itself). Each search runs KESTROW_BENCH_RUNS times (default 2) on
# a warm cache, and the fastest run is shown, with the machine's load: the
# first process to take hundreds of MB after another may pay the system
# seconds for fresh pages (seen on virtual machines). On a loaded machine the
# CPU time (user + system) is the steadier figure.
#   bench/low_percent.sh [BUILD_DIR] [WORK_DIR] [TREE...]
# BUILD_DIR holds kestrow, bench_scan_tree and bench_pair_floor (default
# build/native); the trees go to WORK_DIR (default /tmp/kestrow-low) and are
# deleted after. TREE: directory (2,000 files, about 200 MB), large (20,000
# files, about 2 GB), shared (20,000 files of shared content); see
# bench/scan_tree.cpp. Default: all three. KESTROW_BENCH_TIMEOUT bounds each
# run in seconds (default 900). KESTROW_CLI_EXE, when set, is also timed
# under Wine at each percentage on each tree (with WINEPREFIX and WINEDEBUG
# as the caller sets them; a Wine server is kept running from the first run),
# and with DISPLAY set (an Xvfb of your own) so is Kestrow.exe's window, by
# bench_window_report.exe of the same folder (built there with
# `cmake --build BUILD --target bench_window_report`), when present.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build/native}" && pwd)
work=${2:-/tmp/kestrow-low}
shift $(($# > 2 ? 2 : $#))
trees=${*:-directory large shared}
limit=${KESTROW_BENCH_TIMEOUT:-900}
runs=${KESTROW_BENCH_RUNS:-2}
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
# A Wine server started here, not one already running, is ended here.
if [ -n "${KESTROW_CLI_EXE:-}" ] && wineserver -p 2>/dev/null; then
    trap 'rm -rf "$work"; wineserver -k' EXIT
fi

# The fastest of the timed runs: wall and CPU seconds, peak KB and the closing row, or "not finished".
timed() {  # label, command...
    local label=$1 run best=
    shift
    for ((run = 0; run < runs; run++)); do
        /usr/bin/time -f "%e %U %S %M" -o "$work/usage" timeout "$limit" "$@" 2>/dev/null | tail -n 1 \
            >"$work/closing" || { best=; break; }
        if [ -z "$best" ] || [ "$(echo "$(cut -d' ' -f1 "$work/usage") < $(cut -d' ' -f1 "$work/best")" | bc)" = 1 ]
        then
            cp "$work/usage" "$work/best"
            best=1
        fi
    done
    if [ -n "$best" ]; then
        read -r wall user sys peak <"$work/best"
        cpu=$(echo "$user + $sys" | bc)
        printf '  %-28s %7.2f s  cpu %7.2f s  peak %8d KB  read-all x%6.2f  %s\n' "$label" "$wall" "$cpu" "$peak" \
            "$(echo "$wall / $readAllTime" | bc -l)" "$(cat "$work/closing")"
    else
        printf '  %-28s not finished after %s s\n' "$label" "$limit"
        wall=
    fi
}

for tree in $trees; do
    dir=$work/$tree
    "$build/bench_scan_tree" "$dir" "$tree" 1 >/dev/null
    # The tree just written goes to disk first: write-back during a timed run costs it system time.
    sync
    find "$dir" -type f -print0 | xargs -0 cat >/dev/null
    start=$(date +%s.%N)
    find "$dir" -type f -print0 | xargs -0 cat >/dev/null
    readAllTime=$(echo "$(date +%s.%N) - $start" | bc)
    echo "$tree: $(find "$dir" -type f | wc -l) files, $(du -sh "$dir" | cut -f1), read-all ${readAllTime} s; $(uptime | sed 's/.*load/load/')"
    for match in 50 75; do
        timed "kestrow Directory $match%" "$build/kestrow" scan "$dir" --mode directory --match "$match"
        floorLine=$("$build/bench_pair_floor" "$dir" "$match")
        floor=$(echo "$floorLine" | sed 's/.*floor \([0-9.]*\) s.*/\1/')
        floorBest=$(echo "$floorLine" | sed 's/.*at best \([0-9.]*\) s/\1/')
        echo "    $floorLine"
        [ -n "$wall" ] && printf '    kestrow / floor: %.2f (wall), %.2f (cpu), %.2f (cpu, floor at best)\n' \
            "$(echo "$wall / $floor" | bc -l)" "$(echo "$cpu / $floor" | bc -l)" "$(echo "$cpu / $floorBest" | bc -l)"
        if [ -n "${KESTROW_CLI_EXE:-}" ]; then
            timed "kestrow-cli.exe (Wine) $match%" wine "$KESTROW_CLI_EXE" scan "Z:${dir//\//\\}" --mode directory \
                --match "$match"
            window=$(dirname "$KESTROW_CLI_EXE")/bench_window_report.exe
            if [ -n "${DISPLAY:-}" ] && [ -f "$window" ]; then
                timed "Kestrow.exe (Wine) $match%" wine "$window" directory "Z:${dir//\//\\}" "$match"
            fi
        fi
    done
    rm -rf "$dir"
done
