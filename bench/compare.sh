#!/usr/bin/env bash
# Comparison throughput on two 1 GiB pairs (identical; a few hundred scattered
# differing bytes), warm cache: both roles of compareFiles, a plain memcmp
# chunk loop and cmp from diffutils. The files are removed afterwards.
#   bench/compare.sh [BUILD_FOLDER] [ROUNDS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/native}
rounds=${2:-3}
cmake --build "$build" --target bench_compare_throughput >/dev/null
work=$(mktemp -d /tmp/kestrow-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

head -c $((1 << 30)) /dev/urandom >"$work/a"
cp "$work/a" "$work/same"
cp "$work/a" "$work/scattered"
# 300 single bytes flipped at positions spread over the whole file.
python3 - "$work/scattered" <<'PY'
import random, sys
random.seed(5)
with open(sys.argv[1], "r+b") as f:
    for position in sorted(random.sample(range(1 << 30), 300)):
        f.seek(position)
        byte = f.read(1)[0]
        f.seek(position)
        f.write(bytes([byte ^ 0xFF]))
PY
cat "$work/a" "$work/same" "$work/scattered" >/dev/null  # warm the cache

# cmp's listing goes to a file: to /dev/null, cmp stops at the first difference.
for pair in same scattered; do
    echo "== 1 GiB, $pair"
    options=""
    [ "$pair" = scattered ] && options="-l"
    "$build/bench_compare_throughput" "$work/a" "$work/$pair" "$rounds" \
        "cmp $options $work/a $work/$pair >$work/cmp.out"
done
