#!/usr/bin/env bash
# kestrow scan end to end: rows and their formats, options, exit status and Ctrl+C.
set -u
kestrow=$1
subcommand=scan
source "$(dirname "$0")/expect.bash"
tab=$'\t'

tree=$work/tree
mkdir -p "$tree/sub" "$tree/hollow/deeper"
printf 'abcdefghij' >"$tree/a"
printf 'abcdefghij' >"$tree/sub/b"
printf 'abcdefghijkl' >"$tree/c"
: >"$tree/e1"
: >"$tree/e2"

expect quick 0 "Start${tab}5 files found.${tab}
$tree/a${tab}$tree/sub/b${tab}100
End${tab}1 twins found${tab}" -- "$tree"
expect directory 0 "Start${tab}5 files found.${tab}
$tree/a${tab}$tree/c${tab}83
$tree/a${tab}$tree/sub/b${tab}100
$tree/c${tab}$tree/sub/b${tab}83
End${tab}3 twins found${tab}" -- --mode directory --match 80 "$tree"
# Every route a benchmark may force lists the same rows; --explain names the one taken on stderr.
for route in listing memory plain; do
    expect "route-$route" 0 "Start${tab}5 files found.${tab}
$tree/a${tab}$tree/c${tab}83
$tree/a${tab}$tree/sub/b${tab}100
$tree/c${tab}$tree/sub/b${tab}83
End${tab}3 twins found${tab}" -- --mode directory --match 80 --route "$route" --explain "$tree"
    grep -q "^route: " "$work/stderr" || { echo "FAIL route-$route: no route on stderr"; failures=$((failures + 1)); }
done
expect bad-route 2 "" -- "$tree" --route windows
# What can serve comes before what is cheaper: at 50% the listing's blocks do not hold, so it is
# neither chosen nor tried, even when told.
for told in "" "--route listing"; do
    "$kestrow" scan "$tree" --mode directory --match 50 --explain $told >/dev/null 2>"$work/stderr"
    grep -q "^route: memory (.*blocks do not hold" "$work/stderr" ||
        { echo "FAIL route-at-50 ${told:-chosen}: $(head -n 1 "$work/stderr")"; failures=$((failures + 1)); }
done
expect zero-length 0 "Start${tab}5 files found.${tab}
$tree/a${tab}$tree/sub/b${tab}100
$tree/e1${tab}$tree/e2${tab}100
End${tab}2 twins found${tab}" -- "$tree" --hash off --match 100 --zero-length
expect empty-folder 0 "End${tab}0 twins found${tab}
Indexing....${tab}${tab}" -- "$tree/hollow"

# Rows that cannot be written are trouble, not success.
"$kestrow" scan "$tree" >/dev/full 2>"$work/full.err"
status=$?
if [ "$status" != 2 ] || ! grep -q "could not be written" "$work/full.err"; then
    echo "FAIL full-output: status $status"
    failures=$((failures + 1))
fi

# Every format holds the same rows, read back with real CSV and JSON parsers,
# for names with tabs, quotes, commas, line breaks and bytes outside UTF-8.
odd=$work/odd
python3 "$(dirname "$0")/rows.py" make-tree "$odd"
for format in tsv csv json; do
    "$kestrow" scan "$odd" --format "$format" >"$work/odd.$format" 2>"$work/stderr"
    status=$?
    [ "$status" = 0 ] || { echo "FAIL format-$format: status $status"; failures=$((failures + 1)); }
done
python3 "$(dirname "$0")/rows.py" check-scan "$odd" "$work/odd" || failures=$((failures + 1))
expect bad-format 2 "" -- "$tree" --format xml
grep -q "unknown format xml" "$work/stderr" || { echo "FAIL bad-format: problem not named"; failures=$((failures + 1)); }

python3 "$(dirname "$0")/rows.py" make-tree "$odd.groups"
for format in tsv csv json; do
    "$kestrow" scan "$odd.groups" --groups --format "$format" >"$work/odd-groups.$format" 2>"$work/stderr"
done
python3 "$(dirname "$0")/rows.py" check-groups "$odd.groups" "$work/odd-groups" || failures=$((failures + 1))

# --groups: each set of byte-identical files once, in every mode, agreeing with
# fdupes -r -H where two names of one file (a hard link) count as that file: a
# set never names it twice. Equal checksums of different bytes make no set.
sets=$work/sets
mkdir -p "$sets/x/y" "$sets/z"
for copy in a1 x/a2 x/y/a3; do printf 'one' >"$sets/$copy"; done
printf 'two!' >"$sets/b1"
printf 'two!' >"$sets/z/b2"
printf 'solo' >"$sets/x/solo"
printf 'ab12' >"$sets/c1"
printf 'ab34' >"$sets/z/c2"
: >"$sets/e1"
: >"$sets/z/e2"
ln "$sets/a1" "$sets/z/a1link"
listing=-
if command -v fdupes >/dev/null; then
    listing=$work/fdupes.txt
    fdupes -q -r -H "$sets" >"$listing"
fi
for mode in "--mode quick" "--mode quick --hash off" "--mode directory"; do
    # shellcheck disable=SC2086
    "$kestrow" scan "$sets" --groups --zero-length $mode >"$work/sets.tsv" 2>"$work/stderr"
    python3 "$(dirname "$0")/rows.py" same-sets "$sets" "$work/sets.tsv" "$listing" ||
        { echo "FAIL groups $mode"; failures=$((failures + 1)); }
done
expect groups-below-100 2 "" -- "$sets" --groups --match 99
grep -q -- "--groups" "$work/stderr" || { echo "FAIL groups-below-100: not named"; failures=$((failures + 1)); }

# Sizes and globs leave files out exactly as if they were not in the tree: the
# rows are those of the tree without them. "sub*" matches a folder, "**" spans folders.
filtered=$work/filtered
mkdir -p "$filtered/keep/deep" "$filtered/sub1/more"
for name in a keep/a keep/deep/a sub1/a sub1/more/a x.log keep/deep/x.log keep/x.logs; do
    printf 'abcdefghij' >"$filtered/$name"
done
printf 'abcdefghiX' >"$filtered/keep/near"
printf 'a' >"$filtered/tiny1"
printf 'a' >"$filtered/keep/tiny2"
head -c 1025 /dev/zero >"$filtered/big1"
head -c 1025 /dev/zero >"$filtered/keep/big2"
for mode in quick directory; do
    "$kestrow" scan "$filtered" --mode "$mode" --match 50 --exclude 'sub*' --exclude '**/*.log' --min-size 2 \
        --max-size 1K >"$work/filtered.$mode"
done
rm -r "$filtered/sub1" "$filtered/x.log" "$filtered/keep/deep/x.log" "$filtered"/tiny1 "$filtered"/keep/tiny2 \
    "$filtered"/big1 "$filtered"/keep/big2
for mode in quick directory; do
    expect "filtered-$mode" 0 "$(cat "$work/filtered.$mode")" -- "$filtered" --mode "$mode" --match 50
done
for bad in "--min-size -5" "--max-size 3T" "--max-size 1KB" "--min-size K" "--exclude "; do
    expect "bad ${bad}" 2 "" -- "$tree" $bad ""
    grep -q -- "^kestrow scan: ${bad%% *}" "$work/stderr" || { echo "FAIL bad $bad: not named"; failures=$((failures + 1)); }
done

for bad in 0 101 abc "" 9x; do
    expect "match-$bad" 2 "" -- "$tree" --match "$bad"
done
expect no-folder 2 "" --
expect missing-folder 2 "" -- "$work/nothing"
expect file-as-folder 2 "" -- "$tree/a"
expect bad-mode 2 "" -- "$tree" --mode file
expect two-folders 2 "" -- "$tree" "$tree/sub"

"$kestrow" scan "$tree" --remove-empty-dirs >/dev/null 2>&1
if [ -e "$tree/hollow" ] || [ ! -e "$tree/sub/b" ]; then
    echo "FAIL remove-empty-dirs: the empty folders should be gone and the files kept"
    failures=$((failures + 1))
fi

# Ctrl+C while the search is held busy: 2,000 copies of one file give about 2,000,000 twin rows,
# and their rows go to a pipe that is no longer read once the first twins are out, so the search
# cannot reach its end, however fast it is, before Ctrl+C has been sent; the rest is read after.
big=$work/big
mkdir "$big"
for n in $(seq 1 2000); do
    printf 'same bytes' >"$big/f$n"
done
python3 - "$kestrow" "$big" "$work/aborted" >"$work/aborted.status" <<'PY'
import signal, subprocess, sys
kestrow, folder, rows = sys.argv[1:]
scan = subprocess.Popen([kestrow, "scan", folder, "--mode", "directory", "--match", "50"],
                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
early = []
while len(early) < 2:  # rows are printed as they are found, before the search ends
    line = scan.stdout.readline()
    if not line:
        break
    early.append(line)
scan.send_signal(signal.SIGINT)
rest = scan.stdout.read()
with open(rows, "wb") as out:
    out.write(b"".join(early) + rest)
print(len(early), scan.wait())
PY
read -r early status <"$work/aborted.status"
if [ "$early" -lt 2 ]; then
    echo "FAIL streaming: $early rows printed while the search ran"
    failures=$((failures + 1))
fi
closing=$(tail -n 1 "$work/aborted")
if [ "$status" != 1 ] || [[ "$closing" != "Aborted${tab}"*" twins found${tab}" ]]; then
    echo "FAIL ctrl-c: status $status, closing row '$closing'"
    failures=$((failures + 1))
fi

[ "$failures" = 0 ] && echo "scan: all checks passed"
exit $((failures != 0))
