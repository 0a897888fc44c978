#!/usr/bin/env bash
# kestrow-cli.exe scan lists twins whose names lie outside the ANSI code page
# (Japanese, Greek with an emoji, accented Latin) by their own names, in UTF-8;
# a folder whose name ends in a dot, which Windows paths cannot name, is
# walked by its short name and not mistaken for the folder without the dot.
set -euo pipefail
cli="$(dirname "$(readlink -f "$1")")/kestrow-cli.exe"
export WINEDEBUG=${WINEDEBUG:--all}
tree=$(mktemp -d /tmp/kestrow_names.XXXXXX)
trap 'rm -rf "$tree"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

names=('こんにちは.bin' 'Ελληνικά😀.bin' 'café naïve.bin')
mkdir "$tree/a" "$tree/b"
size=10
for name in "${names[@]}"; do
    head -c "$size" /dev/zero | tr '\0' 'k' >"$tree/a/$name"
    cp "$tree/a/$name" "$tree/b/$name"
    size=$((size + 1))
done

windows_tree="Z:$(echo "$tree" | tr '/' '\\')"
rows=$(wine "$cli" scan "$windows_tree" --mode quick --hash on --match 100 | tr -d '\r')
echo "$rows"
[ "$(echo "$rows" | tail -n 1)" = "$(printf 'End\t3 twins found\t')" ] || fail "not three twins"
for name in "${names[@]}"; do
    row=$(echo "$rows" | grep -F -- "$name" || true)
    [ "$(echo "$row" | grep -o -F -- "$name" | wc -l)" = 2 ] || fail "no pair of $name"
    echo "$row" | grep -q -P '\t100$' || fail "$name not at 100%"
done
# "x." beside "x": the copies inside "x." are twins; "x"'s one file is listed once.
mkdir "$tree/c" "$tree/c/x" "$tree/c/x."
echo plain >"$tree/c/x/only"
echo dotted >"$tree/c/x./one"
echo dotted >"$tree/c/x./two"
rows=$(wine "$cli" scan "$windows_tree\\c" --mode quick --hash on --match 100 | tr -d '\r')
echo "$rows"
[ "$(echo "$rows" | head -n 1)" = "$(printf 'Start\t3 files found.\t')" ] || fail "not three files below c"
echo "$rows" | grep -q -P '\\one\t.*\\two\t100$' || fail "the copies in x. are not twins"
echo "ok"
