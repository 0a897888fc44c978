#!/usr/bin/env bash
# Times `kestrow scan` against other duplicate finders on seeded synthetic
# trees, all commands of a tree in one hyperfine run on a warm cache, and
# checks that Kestrow's 100% pairs are exactly the pairs of fdupes's groups.
#   bench/scan_bench.sh [BUILD_DIR] [WORK_DIR]
# BUILD_DIR holds kestrow and bench_scan_tree (default build/native); the
# trees go to WORK_DIR (default /tmp/kestrow-bench) and are deleted after.
# Needs fdupes, jdupes, duff and hyperfine (scripts/setup.sh installs them
# with KESTROW_BENCH_TOOLS=1).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build/native}" && pwd)
work=${2:-/tmp/kestrow-bench}
kestrow=$build/kestrow
runs=${KESTROW_BENCH_RUNS:-5}
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

warm() { find "$1" -type f -exec cat {} + >/dev/null; }

# Prints each command's mean and its ratio to the first command.
timeTree() {
    local name=$1
    shift
    hyperfine -N -w 1 -r "$runs" --export-json "$work/$name.json" "$@" >/dev/null 2>&1
    python3 - "$work/$name.json" "$name" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
first = results[0]["mean"]
print(f"{sys.argv[2]}:")
for r in results:
    print(f"  {r['mean']:8.3f} s  ±{r['stddev']:.3f}  ratio kestrow/this {first / r['mean']:5.2f}  {r['command']}")
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

tree=$work/large
"$build/bench_scan_tree" "$tree" large 1
warm "$tree"
timeTree "large (Quick Dir, Hash on, 100%)" "$kestrow scan $tree --match 100" "jdupes -q -r $tree" \
    "fdupes -q -r $tree"
checkAgreement "$tree"
rm -rf "$tree"

tree=$work/many
"$build/bench_scan_tree" "$tree" many 1
warm "$tree"
timeTree "many (Quick Dir, Hash on, 100%)" "$kestrow scan $tree --match 100" "jdupes -q -r $tree" \
    "fdupes -q -r $tree" "duff -r $tree"
checkAgreement "$tree"
rm -rf "$tree"

tree=$work/directory
"$build/bench_scan_tree" "$tree" directory 1
warm "$tree"
timeTree "directory (Directory, 95%)" "$kestrow scan $tree --mode directory --match 95" \
    "bash -c 'find $tree -type f -exec cat {} + >/dev/null'"
rm -rf "$tree"
