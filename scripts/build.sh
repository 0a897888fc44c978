#!/usr/bin/env bash
# Builds Kestrow natively (build/native) and for Windows (build/windows).
# Usage: scripts/build.sh [native|windows|windows-tests|windows64|windows64-tests|all] [extra cmake args]
# windows-tests: the Windows test programs (build/windows-tests). windows64 and
# windows64-tests: the same for 64-bit Windows (build/windows64, build/windows64-tests),
# for Wine on a machine that runs no 32-bit programs; never shipped.
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
  windows64) build "$here/build/windows64" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-x86_64.cmake" "$@" ;;
  windows64-tests)
    build "$here/build/windows64-tests" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-x86_64-tests.cmake" "$@" ;;
  all)
    build "$here/build/native" "$@"
    build "$here/build/windows" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" "$@" ;;
  *) echo "usage: scripts/build.sh [native|windows|windows-tests|windows64|windows64-tests|all]" >&2; exit 2 ;;
esac
