# Shared by the command-line checks: source it with the command line's path
# in $kestrow and the subcommand in $subcommand.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# expect NAME STATUS EXPECTED_STDOUT -- ARGS...
expect() {
    local name=$1 status=$2 expected=$3
    shift 4
    local output actual
    output=$("$kestrow" "$subcommand" "$@" 2>"$work/stderr")
    actual=$?
    if [ "$actual" != "$status" ] || [ "$output" != "$expected" ]; then
        echo "FAIL $name: status $actual (want $status)"
        echo "  got:  $(printf '%s' "$output" | od -c | head -5)"
        echo "  want: $(printf '%s' "$expected" | od -c | head -5)"
        failures=$((failures + 1))
    fi
}
