#!/usr/bin/env bash
# Installs what is missing, builds Kestrow and starts Kestrow.exe under Wine.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
"$here/scripts/build.sh" windows
if [ -z "${DISPLAY:-}" ]; then
  echo "run: Kestrow is a window program and no display is set (DISPLAY is empty)." >&2
  echo "run: start it from a desktop session, or give it a virtual one: xvfb-run -a scripts/run.sh" >&2
  exit 1
fi
exec "$here/scripts/wine-run.sh" "$here/build/windows/Kestrow.exe" "$@"
