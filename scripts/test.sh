#!/usr/bin/env bash
# Sets up, builds and runs every Kestrow test: the native suite, the native
# suite under the address/undefined and thread sanitizers, and the Windows
# programs under Wine (the GUI tests on a private Xvfb display).
#
# Each native suite runs while the next tree builds, so both cores stay busy;
# the Windows tests run once everything else is done. Every step prints its
# wall and CPU seconds and the load beside them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
jobs=$(nproc)
# The Windows tests run the shipped 32-bit builds under Wine where the machine
# runs 32-bit programs, and 64-bit builds of the same code under Wine's 64-bit
# loader where it runs none (scripts/wine-arch.sh). The shipped 32-bit
# programs are built, and their import tables checked, either way.
wine_arch=$("$here/scripts/wine-arch.sh")
if [ "$wine_arch" = x86_64 ]; then
  echo "== this machine runs no 32-bit programs: the Windows tests run 64-bit builds of the same code under Wine"
  export PATH="$here/scripts/wine64:$PATH"
  export WINEPREFIX="$here/build/wineprefix64"
  windows_tests="$here/build/windows64-tests"
  windows_programs="$here/build/windows64"
else
  export WINEPREFIX="$here/build/wineprefix"
  windows_tests="$here/build/windows-tests"
  windows_programs="$here/build/windows"
fi
export WINEDEBUG=-all
logs="$here/build/test-logs"
mkdir -p "$logs"
run_start=$SECONDS

# label, command...: runs the command in a subshell of its own and prints how
# long it took, the CPU time of everything it started, and the load average.
timed() {
  local label=$1; shift
  (
    start=$SECONDS
    "$@"
    record="$logs/times.$BASHPID"
    times >"$record"   # here: a command substitution is a shell without children
    cpu=$(awk 'NR == 2 { split($1 $2, t, /[ms]/); print int(t[1] * 60 + t[2] + t[3] * 60 + t[4]) }' "$record")
    rm -f "$record"
    echo "== $label: $((SECONDS - start)) s, CPU $cpu s, load $(cut -d' ' -f1 /proc/loadavg)"
  )
}

configure_and_build() {  # folder, cmake args...
  local folder=$1; shift
  cmake -S "$here" -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$folder" -j "$jobs"
}
run_tests() {  # folder, ctest arguments...
  local folder=$1; shift
  (cd "$folder" && ctest --output-on-failure -j "$jobs" "$@")
}

# A suite run in the background while the next tree builds; its output goes
# to a log that is shown once it is waited for.
suite_pid=""
suite_label=""
start_suite() {  # label, folder, [environment assignments...]
  suite_label=$1
  local folder=$2; shift 2
  echo "== $suite_label: started beside the next build"
  (
    for assignment in "$@"; do export "$assignment"; done
    timed "$suite_label" run_tests "$folder"
  ) >"$logs/$(basename "$folder").log" 2>&1 &
  suite_pid=$!
}
wait_suite() {  # folder
  [ -n "$suite_pid" ] || return 0
  local status=0
  wait "$suite_pid" || status=$?
  suite_pid=""
  if [ "$status" != 0 ]; then
    cat "$logs/$(basename "$1").log"
    echo "== $suite_label: FAILED" >&2
    exit "$status"
  fi
  tail -n 4 "$logs/$(basename "$1").log"
}

xvfb_pid=""
cleanup() {
  [ -n "$suite_pid" ] && kill "$suite_pid" 2>/dev/null || true
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# Wine's prefix is made once (about a quarter of a minute), beside the builds.
"$here/scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 &
prefix_pid=$!

timed "native build" configure_and_build "$here/build/native"
start_suite "native tests" "$here/build/native"

timed "address and undefined-behaviour sanitizer build" \
  configure_and_build "$here/build/asan" -DKESTROW_SANITIZE=address,undefined -DKESTROW_BENCHMARKS=OFF
wait_suite "$here/build/native"
start_suite "native tests, address and undefined-behaviour sanitizers" "$here/build/asan"

timed "thread sanitizer build" \
  configure_and_build "$here/build/tsan" -DKESTROW_SANITIZE=thread -DKESTROW_BENCHMARKS=OFF
wait_suite "$here/build/asan"
start_suite "native tests, thread sanitizer" "$here/build/tsan" TSAN_OPTIONS=halt_on_error=1

timed "Windows test programs build" \
  configure_and_build "$windows_tests" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-$wine_arch-tests.cmake"
timed "Windows build" \
  configure_and_build "$here/build/windows" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake"
if [ "$wine_arch" = x86_64 ]; then
  timed "64-bit Windows build, for Wine" \
    configure_and_build "$windows_programs" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-x86_64.cmake"
fi
wait_suite "$here/build/tsan"

# Wine needs a display for windows; start a private one when none is given.
if [ -z "${DISPLAY:-}" ] || [ "${CI:-}" = true ]; then
  display=$((90 + RANDOM % 400))
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$display"
  until xdotool getdisplaygeometry >/dev/null 2>&1; do
    kill -0 "$xvfb_pid" 2>/dev/null || { echo "test: Xvfb :$display did not start" >&2; exit 1; }
    sleep 0.1
  done
fi
wait "$prefix_pid" || true
timed "Windows test programs under Wine" run_tests "$windows_tests"
if [ "$wine_arch" = x86_64 ]; then
  timed "the shipped programs' imports" run_tests "$here/build/windows" -R '^imports_'
  timed "Kestrow.exe and kestrow-cli.exe (64-bit) under Wine" run_tests "$windows_programs" -E '^imports_'
else
  timed "Kestrow.exe and kestrow-cli.exe under Wine" run_tests "$windows_programs"
fi
if [ -x "$here/scripts/release.sh" ]; then timed "release zip" "$here/scripts/release.sh"; fi
if [ -x "$here/scripts/screenshots.sh" ]; then timed "screenshots" "$here/scripts/screenshots.sh" "$windows_programs/Kestrow.exe"; fi
echo "== every test passed in $(( (SECONDS - run_start) / 60 )) min $(( (SECONDS - run_start) % 60 )) s"
