#!/usr/bin/env bash
# Installs what is missing, builds Kestrow and starts Kestrow.exe under Wine.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
"$here/scripts/build.sh" windows
exec "$here/scripts/wine-run.sh" "$here/build/windows/Kestrow.exe" "$@"
