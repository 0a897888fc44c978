#!/usr/bin/env bash
# Installs the Debian packages Kestrow needs, only those that are missing.
# Safe to run again: a second run installs nothing.
set -euo pipefail

packages=(g++ cmake make googletest g++-mingw-w64-i686-win32 g++-mingw-w64-i686-posix binutils-mingw-w64-i686
          wine wine32:i386 wine64 xvfb xdotool imagemagick zip python3)
# Tools the benchmarks compare against; not needed by the tests.
if [ "${KESTROW_BENCH_TOOLS:-0}" = 1 ]; then
  packages+=(fdupes jdupes duff rmlint diffutils hyperfine)
fi

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
fi
as_root apt-get update -q
# With recommends: Wine then has its fonts and X rendering, which the window tests draw with.
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
