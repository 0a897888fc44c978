#!/usr/bin/env bash
# Packs a built Kestrow.exe with its help page and licence into
# build/release/Kestrow-<version>.zip, the version read from resources/version.h.
# Usage: scripts/release.sh [windows build folder, default build/windows]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/windows}

version=$(sed -n 's/^#define KESTROW_VERSION_TEXT "\(.*\)"$/\1/p' "$here/resources/version.h")
if [ -z "$version" ]; then
  echo "release: no KESTROW_VERSION_TEXT in resources/version.h" >&2
  exit 1
fi
if [ ! -f "$build/Kestrow.exe" ]; then
  echo "release: $build/Kestrow.exe is missing; run scripts/build.sh windows first" >&2
  exit 1
fi

name="Kestrow-$version"
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
mkdir "$staging/$name"
cp "$build/Kestrow.exe" "$staging/$name/Kestrow.exe"
i686-w64-mingw32-strip "$staging/$name/Kestrow.exe"   # debug information stays in the build
cp "$here/resources/ReadMe.htm" "$staging/$name/ReadMe.htm"
sed 's/$/\r/' "$here/LICENSE" >"$staging/$name/License.txt"   # Windows line ends

mkdir -p "$here/build/release"
archive="$here/build/release/$name.zip"
rm -f "$archive"
(cd "$staging" && zip -q -X -r "$archive" "$name")
echo "release: $archive"
