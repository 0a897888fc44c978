#!/usr/bin/env bash
# Sets up, builds and runs every Kestrow test: the native suite, the native
# suite under the address/undefined and thread sanitizers, and the Windows
# programs under Wine (the GUI tests on a private Xvfb display).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
jobs=$(nproc)
export WINEPREFIX="$here/build/wineprefix"
export WINEDEBUG=-all

configure_and_build() {  # folder, cmake args...
  local folder=$1; shift
  cmake -S "$here" -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$folder" -j "$jobs"
}
run_tests() {  # folder, label
  echo "== $2"
  (cd "$1" && ctest --output-on-failure -j "$jobs")
}

configure_and_build "$here/build/native"
run_tests "$here/build/native" "native tests"

configure_and_build "$here/build/asan" -DKESTROW_SANITIZE=address,undefined
run_tests "$here/build/asan" "native tests, address and undefined-behaviour sanitizers"

configure_and_build "$here/build/tsan" -DKESTROW_SANITIZE=thread
TSAN_OPTIONS=halt_on_error=1 run_tests "$here/build/tsan" "native tests, thread sanitizer"

configure_and_build "$here/build/windows" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake"
configure_and_build "$here/build/windows-tests" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686-tests.cmake"

# Wine needs a display for windows; start a private one when none is given.
xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ] || [ "${CI:-}" = true ]; then
  display=$((90 + RANDOM % 400))
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$display"
  for _ in $(seq 1 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
fi
"$here/scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 || true   # create the prefix once
echo "== Windows test programs under Wine"
(cd "$here/build/windows-tests" && ctest --output-on-failure)
echo "== Kestrow.exe and kestrow-cli.exe under Wine"
(cd "$here/build/windows" && ctest --output-on-failure)
if [ -x "$here/scripts/release.sh" ]; then "$here/scripts/release.sh"; fi
if [ -x "$here/scripts/screenshots.sh" ]; then "$here/scripts/screenshots.sh"; fi
