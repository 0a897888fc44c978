#!/usr/bin/env bash
# Installs the Debian packages Kestrow needs, only those that are missing.
# Safe to run again: a second run installs nothing and touches no package tool.
#
# A package mirror being synced makes `apt-get update` fail for an index or
# two for a while; set-up retries it, then installs from what it has. Where
# an index is missing, the same versions may still be had from the release
# itself (`-t CODENAME`), which set-up tries once before it gives up with one
# line saying what failed and how to retry.
set -euo pipefail

packages=(g++ cmake make googletest g++-mingw-w64-i686-win32 g++-mingw-w64-i686-posix binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-win32 g++-mingw-w64-x86-64-posix
          wine wine32:i386 wine64 xvfb xdotool xclip imagemagick zip python3 clang-format)
# Tools the benchmarks compare against; not needed by the tests.
if [ "${KESTROW_BENCH_TOOLS:-0}" = 1 ]; then
  packages+=(fdupes jdupes duff rmlint rdfind diffutils hyperfine)
fi
update_tries=${KESTROW_APT_TRIES:-4}
update_pause=${KESTROW_APT_PAUSE:-10}

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }
say() { echo "setup: $*" >&2; }

still_missing() {
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || echo "$package"
  done
}

# Succeeds when every index was fetched; after the last try it fails, and the
# install goes on from the indexes that did arrive.
update_indexes() {
  local try
  for ((try = 1; try <= update_tries; try++)); do
    as_root apt-get update -q && return 0
    if ((try < update_tries)); then
      say "apt-get update failed (try $try of $update_tries); trying again in $update_pause s"
      sleep "$update_pause"
    fi
  done
  say "apt-get update still reports failed indexes; installing from the indexes it has"
  return 1
}

install_packages() {  # apt-get install options and packages
  # With recommends: Wine then has its fonts and X rendering, which the window tests draw with.
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$@"
}

# A failed install may stop between unpacking and configuring; finish what
# dpkg started so the package system is left whole.
settle_package_system() {
  if [ -n "$(as_root dpkg --audit 2>/dev/null)" ]; then
    say "finishing the configuration of packages a failed install left half done"
    as_root dpkg --configure -a || true
  fi
}

release_codename() {
  # shellcheck disable=SC1091
  (. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
}

mapfile -t missing < <(still_missing "${packages[@]}")
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
fi
indexes_whole=true
update_indexes || indexes_whole=false

install_packages "${missing[@]}" && exit 0
settle_package_system
codename=$(release_codename)
if [ "$indexes_whole" = false ] && [ -n "$codename" ]; then
  say "installing again with the versions of $codename itself (-t $codename)"
  install_packages -t "$codename" "${missing[@]}" && exit 0
  settle_package_system
fi

mapfile -t failed < <(still_missing "${missing[@]}")
if [ ${#failed[@]} -eq 0 ]; then
  say "apt-get reported a failure, but every package is installed now"
  exit 0
fi
if [ "$indexes_whole" = false ]; then
  cause="the package mirror's index is likely being synced (apt-get update reported failed indexes); try again later"
else
  cause="apt-get could not resolve or fetch them (see its lines above)"
fi
say "could not install ${failed[*]}: $cause, with: $0"
exit 1
