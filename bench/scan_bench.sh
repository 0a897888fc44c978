#!/usr/bin/env bash
# Times `kestrow scan` against other duplicate finders and against reading
# every file once, on seeded synthetic trees, all commands of a tree in one
# hyperfine run on a warm cache, and prints each command's ratio to Kestrow's
# time. Checks that Kestrow's 100% pairs are exactly the pairs of fdupes's
# groups on the trees of equal files, and its --groups sets fdupes's groups.
#   bench/scan_bench.sh [BUILD_DIR] [WORK_DIR] [TREE...]
# BUILD_DIR holds kestrow and bench_scan_tree (default build/native); the
# trees go to WORK_DIR (default /tmp/kestrow-bench) and are deleted after.
# TREE: large many small million directory directory-large directory-many
# headers shared copies versions real releases libraries (default: all but
# million, real, releases and libraries);
# directory-large and directory-many time "Directory" on the trees of large
# and many; headers, shared, copies and versions are trees of shared content (see
# bench/scan_tree.cpp), real is a copy of /usr/share and /usr/include with
# links removed, releases eight copies of /usr/include side by side (a folder
# of released versions: every file has seven copies, and the pairs of copies
# run to millions of rows), and libraries times "Quick Dir" 100% against the
# peers on the installed libraries of /usr/lib where they are, read only, links
# and all. On real, "Directory" 99, 95 and 90% are timed against
# reading every file once, with each run's peak memory, and "Quick Dir" 100%
# against the peers; copies also times "Directory" 95%. Each "Directory" time
# is shown for its first run (directory trees: right after the tree is
# written) beside the mean of repeated runs. 75-PROFILE (75-large,
# 75-headers, 75-shared, 75-directory) times "Directory" 75% on the tree of
# that profile against reading it once, with peak memory. routes-PROFILE
# (any profile, real included; "routes" for directory, headers, shared and
# copies) times every "Directory" route of the tree at 50, 75, 90, 95 and
# 99%, CPU seconds (user + sys) of one run each, beside the route the search
# chooses, and marks a choice slower than the fastest route by more than 10%;
# a route that cannot serve there says so, one that runs past
# KESTROW_ROUTE_SECONDS (default 120) is cut off. --cold (first
# argument, root only) drops the caches before every Quick Dir run.
# KESTROW_BENCH_KEEP=1 keeps the trees in WORK_DIR and reuses those found there.
# KESTROW_BENCH_RUNS sets the runs per command (default 3); KESTROW_CLI_EXE,
# when set, is also timed under Wine on the million tree and, at 90%, on the real tree.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cold=0
if [ "${1:-}" = --cold ]; then
    cold=1
    shift
fi
build=$(cd "${1:-$here/build/native}" && pwd)
work=${2:-/tmp/kestrow-bench}
shift $(($# > 2 ? 2 : $#))
trees=${*:-large many small directory directory-large directory-many headers shared copies}
kestrow=$build/kestrow
runs=${KESTROW_BENCH_RUNS:-3}
mkdir -p "$work"
keep=${KESTROW_BENCH_KEEP:-0}
[ "$keep" = 1 ] || trap 'rm -rf "$work"' EXIT

# Writes a seeded tree unless a kept one is there already; the profile "real"
# is a copy of the system's shared files and headers, without links.
makeTree() {  # dir profile
    [ "$keep" = 1 ] && [ -d "$1" ] && return
    if [ "$2" = real ]; then
        mkdir -p "$1"
        cp -r -P --no-preserve=all /usr/share /usr/include "$1"/ 2>/dev/null || true
        find "$1" -type l -delete
        return
    fi
    if [ "$2" = releases ]; then
        for release in 1 2 3 4 5 6 7 8; do
            mkdir -p "$1/$release"
            cp -r -P --no-preserve=all /usr/include "$1/$release"/ 2>/dev/null || true
        done
        find "$1" -type l -delete
        return
    fi
    "$build/bench_scan_tree" "$1" "$2" 1
}

# Deletes a tree unless trees are kept.
dropTree() { [ "$keep" = 1 ] || rm -rf "$1"; }

readAll() { echo "bash -c 'find $1 -type f -print0 | xargs -0 cat >/dev/null'"; }
# rdfind lists to a results file of its own; it changes nothing on a dry run.
rdfind() { echo "rdfind -dryrun true -outputname $work/rdfind-results.txt $1"; }

# Prints each command's mean and Kestrow's time as a share of it.
timeTree() {
    local name=$1
    shift
    local prepare=()
    [ "$cold" = 1 ] && prepare=(--prepare "bash -c 'sync; echo 3 > /proc/sys/vm/drop_caches'") && name="$name, caches dropped"
    hyperfine -N -w 1 -r "$runs" -i "${prepare[@]}" --export-json "$work/times.json" "$@" >/dev/null 2>&1
    python3 - "$work/times.json" "$name" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
first = results[0]["mean"]
print(f"{sys.argv[2]}:")
for r in results:
    print(f"  {r['mean']:8.3f} s  ±{r['stddev'] or 0:.3f}  kestrow/this {first / r['mean']:5.2f}  {r['command']}")
PY
}

# Kestrow's 100% pairs against the pairs within fdupes's groups. fdupes lists
# every hard-linked name (-H) and drops empty files (-n, as Kestrow without
# --zero-length); two names of one file are never twins.
checkAgreement() {
    local tree=$1
    "$kestrow" scan "$tree" --match 100 >"$work/kestrow.rows"
    fdupes -q -r -n -H "$tree" >"$work/fdupes.groups"
    python3 - "$work/kestrow.rows" "$work/fdupes.groups" <<'PY'
import itertools, os, sys
def key(a, b):
    return tuple(sorted((a, b)))
kestrow = set()
for line in open(sys.argv[1], encoding="latin-1"):
    cells = line.rstrip("\n").split("\t")
    if len(cells) == 3 and cells[2] == "100":
        kestrow.add(key(cells[0], cells[1]))
fdupes, group = set(), []
for line in list(open(sys.argv[2], encoding="latin-1")) + [""]:
    line = line.rstrip("\n")
    if line:
        group.append(line)
        continue
    for a, b in itertools.combinations(group, 2):
        if not os.path.samefile(a, b):
            fdupes.add(key(a, b))
    group = []
same = kestrow == fdupes
print(f"  agreement with fdupes: {'exact' if same else 'DIFFERENT'} "
      f"({len(kestrow)} pairs; only kestrow {len(kestrow - fdupes)}, only fdupes {len(fdupes - kestrow)})")
sys.exit(0 if same else 1)
PY
    # The sets of --groups against fdupes's groups, hard-linked names taken as their file.
    "$kestrow" scan "$tree" --groups >"$work/kestrow.groups.tsv"
    python3 "$here/tests/cli/rows.py" same-sets "$tree" "$work/kestrow.groups.tsv" "$work/fdupes.groups"
    echo "  --groups sets agree with fdupes's: exact"
}

quickDir() {  # profile
    local tree=$work/$1
    makeTree "$tree" "$1"
    find "$tree" -type f -print0 | xargs -0 cat >/dev/null
    # rmlint replaces the file it lists to, so its listing goes to a file of ours, never to /dev/null.
    timeTree "$1 (Quick Dir, Hash on, 100%)" "$kestrow scan $tree --match 100" "jdupes -q -r $tree" \
        "fdupes -q -r $tree" "duff -r $tree" "rmlint -o fdupes:$work/rmlint-listing.txt $tree" "$(rdfind "$tree")" \
        "$(readAll "$tree")"
    checkAgreement "$tree"
    dropTree "$tree"
}

# Time, user and system CPU time and peak memory of one run of a command.
oneRun() {  # command...
    /usr/bin/time -f "%e %U %S %M" -o "$work/usage" "$@" >/dev/null
    local wall user sys peak
    read -r wall user sys peak <"$work/usage"
    printf '%7.2f s  user %5.2f s  sys %5.2f s  peak %7d KB' "$wall" "$user" "$sys" "$peak"
}

# Mean time, user and system CPU time of KESTROW_BENCH_RUNS runs of a command, one after another.
repeatsMean() {  # command
    hyperfine -N -r "$runs" --export-json "$work/repeats.json" "$1" >/dev/null 2>&1
    python3 - "$work/repeats.json" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"][0]
print(f"{r['mean']:7.2f} s  user {r['user']:5.2f} s  sys {r['system']:5.2f} s", end="")
PY
}

directory() {  # profile
    local tree=$work/directory-$1
    makeTree "$tree" "$1"
    # A user runs a search once: its first run right after the tree is written, beside the mean of repeats below.
    echo "$1 (Directory, first run of each after the tree is written):"
    for match in 95 99; do
        echo "  $match%  $(oneRun "$kestrow" scan "$tree" --mode directory --match "$match")"
    done
    find "$tree" -type f -print0 | xargs -0 cat >/dev/null
    timeTree "$1 (Directory, 95% and 99%)" "$kestrow scan $tree --mode directory --match 95" \
        "$kestrow scan $tree --mode directory --match 99" "$(readAll "$tree")"
    dropTree "$tree"
}

# One run each on a warm cache: "Directory" at 99, 95 and 90% and reading
# every file once, with time, CPU time, peak memory and the ratio to reading;
# then the mean of repeated runs of each, with user and system CPU time.
directoryShared() {  # tree, percentages...
    local tree=$1
    shift
    find "$tree" -type f -print0 | xargs -0 cat >/dev/null
    local start end readAllTime
    start=$(date +%s.%N)
    find "$tree" -type f -print0 | xargs -0 cat >/dev/null
    end=$(date +%s.%N)
    readAllTime=$(echo "$end - $start" | bc)
    echo "$(basename "$tree") (Directory; read-all ${readAllTime} s):"
    for match in "$@"; do
        /usr/bin/time -f "%e %U %S %M" -o "$work/usage" "$kestrow" scan "$tree" --mode directory --match "$match" |
            tail -n 1 >"$work/closing"
        read -r wall user sys peak <"$work/usage"
        printf '  %3s%%  %7.2f s  cpu %6.2f s  peak %7d KB  ratio %5.2f  %s\n' "$match" "$wall" \
            "$(echo "$user + $sys" | bc)" "$peak" "$(echo "$wall / $readAllTime" | bc -l)" "$(cat "$work/closing")"
        printf '        first run: user %5.2f s  sys %5.2f s;  repeated (mean of %s): %s\n' "$user" "$sys" "$runs" \
            "$(repeatsMean "$kestrow scan $tree --mode directory --match $match")"
    done
}

shared() {  # profile
    local tree=$work/$1
    makeTree "$tree" "$1"
    directoryShared "$tree" 99 95 90
    # rmlint replaces the file it lists to, so its listing goes to a file of ours, never to /dev/null.
    timeTree "$1 (Quick Dir, Hash on, 100%)" "$kestrow scan $tree --match 100" "jdupes -q -r $tree" \
        "duff -r $tree" "$(rdfind "$tree")" "$(readAll "$tree")"
    dropTree "$tree"
}

# "Directory" 75%, one run on a warm cache, against reading the tree once.
seventyFive() {  # profile
    local tree=$work/$1
    makeTree "$tree" "$1"
    directoryShared "$tree" 75
    dropTree "$tree"
}

# A copy of the system's shared files and headers, without links.
real() {
    local tree=$work/real
    makeTree "$tree" real
    echo "real: $(find "$tree" -type f | wc -l) files, $(du -sh "$tree" | cut -f1)"
    directoryShared "$tree" 99 95 90
    if [ -n "${KESTROW_CLI_EXE:-}" ]; then
        /usr/bin/time -f "  %e s, peak %M KB (Wine process)  kestrow-cli.exe, Directory 90%" wine "$KESTROW_CLI_EXE" \
            scan "Z:${tree//\//\\}" --mode directory --match 90 | tail -n 1
    fi
    timeTree "real (Quick Dir, Hash on, 100%)" "$kestrow scan $tree --match 100" "jdupes -q -r $tree" \
        "fdupes -q -r $tree" "duff -r $tree" "$(rdfind "$tree")" "$(readAll "$tree")"
    dropTree "$tree"
}

# Eight releases of the system's headers: Quick Dir against the peers.
releases() {
    local tree=$work/releases
    makeTree "$tree" releases
    echo "releases: $(find "$tree" -type f | wc -l) files, $(du -sh "$tree" | cut -f1)"
    timeTree "releases (Quick Dir, Hash on, 100%)" "$kestrow scan $tree --match 100" "jdupes -q -r $tree" \
        "duff -r $tree" "$(rdfind "$tree")" "$(readAll "$tree")"
    dropTree "$tree"
}

# The installed libraries where they are: only read, never written or removed.
libraries() {
    local tree=/usr/lib
    timeTree "libraries, $tree (Quick Dir, Hash on, 100%)" "$kestrow scan $tree --match 100" \
        "jdupes -q -r $tree" "duff -r $tree" "$(rdfind "$tree")"
}

# One run of "Directory" at `match` on `tree`, told `route` ("chosen": none):
# prints the CPU seconds and the route taken, or "cut off".
routeRun() {  # tree match route
    local limit=${KESTROW_ROUTE_SECONDS:-120} told=()
    [ "$3" = chosen ] || told=(--route "$3")
    if /usr/bin/time -f "%U %S" -o "$work/usage" timeout "$limit" "$kestrow" scan "$1" --mode directory \
        --match "$2" --explain "${told[@]}" >/dev/null 2>"$work/explain"; then
        read -r user sys <"$work/usage"
        echo "$(echo "$user + $sys" | bc) $(sed -n 's/^route: \([a-z]*\).*/\1/p' "$work/explain")"
    else
        echo "cut off"
    fi
}

# Every route's CPU time beside the route chosen, per percentage.
routes() {  # profile
    local tree=$work/$1
    makeTree "$tree" "$1"
    find "$tree" -type f -print0 | xargs -0 cat >/dev/null
    echo "$1 (Directory routes, CPU s of one run each; chosen: the route the search takes by itself):"
    for match in 50 75 90 95 99; do
        local line chosen chosenTime best="" bestTime="" cells="" cpu taken verdict=ok
        line=$(routeRun "$tree" "$match" chosen)
        chosen=${line#* }
        chosenTime=${line%% *}
        for route in listing memory plain; do
            read -r cpu taken <<<"$(routeRun "$tree" "$match" "$route")"
            if [ "$cpu" = cut ]; then
                cells="$cells  $(printf '%-7s %8s' "$route" ">${KESTROW_ROUTE_SECONDS:-120}s")"
            elif [ "$taken" != "$route" ]; then
                cells="$cells  $(printf '%-7s %8s' "$route" "no serve")"
            else
                cells="$cells  $(printf '%-7s %8.2f' "$route" "$cpu")"
                if [ -z "$bestTime" ] || [ "$(echo "$cpu < $bestTime" | bc)" = 1 ]; then
                    best=$route
                    bestTime=$cpu
                fi
            fi
        done
        if [ "$chosenTime" = cut ]; then
            verdict="chosen cut off"
        elif [ -n "$best" ] && [ "$chosen" != "$best" ] && [ "$(echo "$chosenTime > $bestTime * 1.1" | bc)" = 1 ]; then
            verdict="SLOWER THAN $best"
        fi
        [ "$chosenTime" = cut ] || chosenTime=$(printf '%.2f' "$chosenTime")
        printf '  %3s%%  chosen %-7s %8s%s  %s\n' "$match" "$chosen" "$chosenTime" "$cells" "$verdict"
    done
    dropTree "$tree"
}

# One run each: time and peak memory of the native and the Windows command line.
million() {
    local tree=$work/million
    makeTree "$tree" million
    find "$tree" -type f -print0 | xargs -0 cat >/dev/null
    echo "million (Quick Dir, Hash on, 95%):"
    /usr/bin/time -f "  %e s, peak %M KB  kestrow" "$kestrow" scan "$tree" | tail -n 1
    if [ -n "${KESTROW_CLI_EXE:-}" ]; then
        /usr/bin/time -f "  %e s, peak %M KB (Wine process)  kestrow-cli.exe" wine "$KESTROW_CLI_EXE" scan \
            "Z:${tree//\//\\}" | tail -n 1
    fi
    dropTree "$tree"
}

for tree in $trees; do
    case $tree in
        large | many | small) quickDir "$tree" ;;
        directory | directory-large | directory-many) directory "${tree#directory-}" ;;
        million) million ;;
        headers | shared | copies | versions) shared "$tree" ;;
        real) real ;;
        releases) releases ;;
        libraries) libraries ;;
        75-*) seventyFive "${tree#75-}" ;;
        routes) for profile in directory headers shared copies; do routes "$profile"; done ;;
        routes-*) routes "${tree#routes-}" ;;
        *) echo "unknown tree $tree" >&2 ;;
    esac
done
