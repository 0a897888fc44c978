#!/usr/bin/env bash
# Every C++ file git tracks matches the project's .clang-format; lists the ones
# that do not, with the command that mends them.
set -u
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$root" || exit 2
command -v clang-format >/dev/null || { echo "format: clang-format is not installed (scripts/setup.sh installs it)"; exit 2; }
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h')
unformatted=()
for file in "${files[@]}"; do
  clang-format --style=file "$file" | cmp -s - "$file" || unformatted+=("$file")
done
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "format: ${#unformatted[@]} files do not match .clang-format; mend them with:"
  echo "  clang-format -i ${unformatted[*]}"
  exit 1
fi
echo "format: ${#files[@]} files match .clang-format"
