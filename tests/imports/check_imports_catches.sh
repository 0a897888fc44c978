#!/usr/bin/env bash
# The import check fails when it must: an import missing from the allow-list, a program of the
# wrong subsystem, and a header that asks for a newer system than Windows 2000.
# Usage: check_imports_catches.sh KESTROW_EXE KESTROW_CLI_EXE
# OBJCOPY names the MinGW objcopy (default i686-w64-mingw32-objcopy).
set -uo pipefail
gui=$1 console=$2
here=$(dirname "$0")
check=$here/check_imports.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# expect_failure NAME EXPECTED_LINE ARGS...: the check must fail and print EXPECTED_LINE.
expect_failure() {
    local name=$1 expected=$2 output
    shift 2
    if output=$(bash "$check" "$@"); then
        echo "FAIL $name: the check passed"; failures=$((failures + 1))
    elif ! grep -qxF "$expected" <<<"$output"; then
        echo "FAIL $name: no line '$expected' in:"; echo "$output"; failures=$((failures + 1))
    fi
}

# Both programs start worker threads: without CreateThread on the list, both are refused.
grep -vx CreateThread "$here/windows2000_imports.txt" >"$work/allow.txt"
for program in Kestrow.exe kestrow-cli.exe; do
    expect_failure "late import in $program" "$program: KERNEL32.dll CreateThread is not on the allow-list" \
        "$gui" "$console" "$work/allow.txt"
done

expect_failure "console program as the window program" \
    "kestrow-cli.exe: subsystem 00000003 (Windows CUI), want Windows GUI" "$console" "$gui"

"${OBJCOPY:-i686-w64-mingw32-objcopy}" --subsystem console:6.0 "$console" "$work/kestrow-cli.exe"
expect_failure "subsystem version 6.0" \
    "kestrow-cli.exe: subsystem version 6.0 is above 5.0, which Windows 2000 refuses" "$gui" "$work/kestrow-cli.exe"

[ "$failures" -eq 0 ] || exit 1
echo "ok"
