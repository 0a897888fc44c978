#!/usr/bin/env bash
# Builds Kestrow natively (build/native) and for Windows (build/windows).
# Usage: scripts/build.sh [native|windows|windows-tests|all] [extra cmake args]
# windows-tests: the Windows test programs (build/windows-tests).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
which=${1:-all}
shift || true
jobs=$(nproc)

build() {  # folder, cmake args...
  local folder=$1; shift
  cmake -S "$here" -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$folder" -j "$jobs"
}

case "$which" in
  native) build "$here/build/native" "$@" ;;
  windows) build "$here/build/windows" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" "$@" ;;
  windows-tests) build "$here/build/windows-tests" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686-tests.cmake" "$@" ;;
  all)
    build "$here/build/native" "$@"
    build "$here/build/windows" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" "$@" ;;
  *) echo "usage: scripts/build.sh [native|windows|windows-tests|all]" >&2; exit 2 ;;
esac
