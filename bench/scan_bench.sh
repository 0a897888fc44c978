#!/usr/bin/env bash
# Times `kestrow scan` against other duplicate finders and against reading
# every file once, on seeded synthetic trees, all commands of a tree in one
# hyperfine run on a warm cache, and prints each command's ratio to Kestrow's
# time. Checks that Kestrow's 100% pairs are exactly the pairs of fdupes's
# groups on the trees of equal files.
#   bench/scan_bench.sh [BUILD_DIR] [WORK_DIR] [TREE...]
# BUILD_DIR holds kestrow and bench_scan_tree (default build/native); the
# trees go to WORK_DIR (default /tmp/kestrow-bench) and are deleted after.
# TREE: large many small million directory directory-large directory-many
# (default: all but million); directory-large and directory-many time
# "Directory" on the trees of large and many.
# KESTROW_BENCH_RUNS sets the runs per command (default 3); KESTROW_CLI_EXE,
# when set, is also timed under Wine on the million tree.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build/native}" && pwd)
work=${2:-/tmp/kestrow-bench}
shift $(($# > 2 ? 2 : $#))
trees=${*:-large many small directory directory-large directory-many}
kestrow=$build/kestrow
runs=${KESTROW_BENCH_RUNS:-3}
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

readAll() { echo "bash -c 'find $1 -type f -print0 | xargs -0 cat >/dev/null'"; }

# Prints each command's mean and Kestrow's time as a share of it.
timeTree() {
    local name=$1
    shift
    hyperfine -N -w 1 -r "$runs" -i --export-json "$work/times.json" "$@" >/dev/null 2>&1
    python3 - "$work/times.json" "$name" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
first = results[0]["mean"]
print(f"{sys.argv[2]}:")
for r in results:
    print(f"  {r['mean']:8.3f} s  ±{r['stddev']:.3f}  kestrow/this {first / r['mean']:5.2f}  {r['command']}")
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
}

quickDir() {  # profile
    local tree=$work/$1
    "$build/bench_scan_tree" "$tree" "$1" 1
    find "$tree" -type f -print0 | xargs -0 cat >/dev/null
    timeTree "$1 (Quick Dir, Hash on, 100%)" "$kestrow scan $tree --match 100" "jdupes -q -r $tree" \
        "fdupes -q -r $tree" "duff -r $tree" "rmlint -o fdupes:/dev/null $tree" "$(readAll "$tree")"
    checkAgreement "$tree"
    rm -rf "$tree"
}

directory() {  # profile
    local tree=$work/directory-$1
    "$build/bench_scan_tree" "$tree" "$1" 1
    find "$tree" -type f -print0 | xargs -0 cat >/dev/null
    timeTree "$1 (Directory, 95% and 99%)" "$kestrow scan $tree --mode directory --match 95" \
        "$kestrow scan $tree --mode directory --match 99" "$(readAll "$tree")"
    rm -rf "$tree"
}

# One run each: time and peak memory of the native and the Windows command line.
million() {
    local tree=$work/million
    "$build/bench_scan_tree" "$tree" million 1
    find "$tree" -type f -print0 | xargs -0 cat >/dev/null
    echo "million (Quick Dir, Hash on, 95%):"
    /usr/bin/time -f "  %e s, peak %M KB  kestrow" "$kestrow" scan "$tree" | tail -n 1
    if [ -n "${KESTROW_CLI_EXE:-}" ]; then
        /usr/bin/time -f "  %e s, peak %M KB (Wine process)  kestrow-cli.exe" wine "$KESTROW_CLI_EXE" scan \
            "Z:${tree//\//\\}" | tail -n 1
    fi
    rm -rf "$tree"
}

for tree in $trees; do
    case $tree in
        large | many | small) quickDir "$tree" ;;
        directory | directory-large | directory-many) directory "${tree#directory-}" ;;
        million) million ;;
        *) echo "unknown tree $tree" >&2 ;;
    esac
done
