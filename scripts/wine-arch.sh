#!/usr/bin/env bash
# Prints the Windows processor the Windows tests run as under Wine here:
# "i686" where the machine runs 32-bit programs (Wine's 32-bit loader starts),
# "x86_64" where it runs 64-bit programs only (some virtual machines refuse
# every 32-bit program), so Wine's 64-bit loader runs 64-bit builds instead.
set -euo pipefail
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo i686
elif /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
  echo x86_64
else
  echo "wine-arch: neither of Wine's loaders starts here" >&2
  exit 1
fi
