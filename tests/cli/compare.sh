#!/usr/bin/env bash
# kestrow compare end to end: rows as tab-separated lines, escapes, the other formats, exit status.
set -u
kestrow=$1
subcommand=compare
source "$(dirname "$0")/expect.bash"

printf 'abcde' >"$work/a"
printf 'abXde' >"$work/b"
printf 'ab\tc\\\nz' >"$work/c"
printf 'ab\001"\rXz' >"$work/d"
: >"$work/empty1"
: >"$work/empty2"
tab=$'\t'

expect same 0 "Start${tab}${tab}Files are the same size
End${tab}${tab}Same" -- "$work/a" "$work/a"
expect different 1 "Start${tab}${tab}Files are the same size
2${tab}1${tab}File A is \"c\", File B is \"X\"
End${tab}${tab}Files have 80% in common" -- "$work/a" "$work/b"
# Bytes without a glyph, quotes and backslashes show as stand-ins; tsv then doubles each backslash.
escaped_run='File A is "\\x09c\\\\\\x0A", File B is "\\x01\\"\\x0DX"'
expect escapes 1 "Start${tab}${tab}Files are the same size
2${tab}4${tab}${escaped_run}
End${tab}${tab}Files have 42% in common" -- "$work/c" "$work/d"
expect missing 2 "End${tab}${tab}Error opening file" -- "$work/a" "$work/nothing"
expect empty-pair 2 "End${tab}${tab}Fault" -- "$work/empty1" "$work/empty2"
expect zero-length 0 "End${tab}${tab}Zero Bytes" -- --zero-length "$work/empty1" "$work/empty2"
expect one-path 2 "" -- "$work/a"
grep -q "FILE_B is missing" "$work/stderr" || { echo "FAIL one-path: problem not named"; failures=$((failures + 1)); }
expect bad-option 2 "" -- --fast "$work/a" "$work/b"
grep -q "unknown option --fast" "$work/stderr" || { echo "FAIL bad-option: problem not named"; failures=$((failures + 1)); }
# Same files, but the verdict is lost: trouble, not "same".
"$kestrow" compare "$work/a" "$work/a" >/dev/full 2>"$work/full.err"
status=$?
if [ "$status" != 2 ] || ! grep -q "could not be written" "$work/full.err"; then
    echo "FAIL full-output: status $status"
    failures=$((failures + 1))
fi
"$kestrow" compare --help | grep -q "usage: kestrow compare" || { echo "FAIL help"; failures=$((failures + 1)); }

# Every format holds the same rows: runs of quotes, commas, line breaks, zero
# bytes and bytes outside UTF-8, read back with real CSV and JSON parsers.
python3 "$(dirname "$0")/rows.py" make-pair "$work/pair-a" "$work/pair-b"
for format in tsv csv json; do
    "$kestrow" compare --format "$format" "$work/pair-a" "$work/pair-b" >"$work/pair.$format"
    status=$?
    [ "$status" = 1 ] || { echo "FAIL format-$format: status $status"; failures=$((failures + 1)); }
done
python3 "$(dirname "$0")/rows.py" check-compare "$work/pair" || failures=$((failures + 1))

version=$(sed -n 's/^#define KESTROW_VERSION_TEXT "\(.*\)"$/\1/p' "$(dirname "$0")/../../resources/version.h")
[ "$("$kestrow" --version)" = "Kestrow $version" ] || { echo "FAIL version"; failures=$((failures + 1)); }

[ "$failures" = 0 ] && echo "compare: all checks passed"
exit $((failures > 0))
