#!/usr/bin/env bash
# Installs what is missing, builds Kestrow and starts Kestrow.exe under Wine.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
"$here/scripts/build.sh" windows
program="$here/build/windows/Kestrow.exe"
# A machine that runs no 32-bit programs runs the 64-bit build of the same code.
if [ "$("$here/scripts/wine-arch.sh")" = x86_64 ]; then
  echo "run: this machine runs no 32-bit programs; starting the 64-bit build under Wine" >&2
  "$here/scripts/build.sh" windows64
  program="$here/build/windows64/Kestrow.exe"
  export PATH="$here/scripts/wine64:$PATH" WINEPREFIX="${WINEPREFIX:-$here/build/wineprefix64}"
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "run: Kestrow is a window program and no display is set (DISPLAY is empty)." >&2
  echo "run: start it from a desktop session, or give it a virtual one: xvfb-run -a scripts/run.sh" >&2
  exit 1
fi
exec "$here/scripts/wine-run.sh" "$program" "$@"
