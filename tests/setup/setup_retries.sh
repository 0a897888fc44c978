#!/usr/bin/env bash
# scripts/setup.sh against stand-in package tools on the PATH: a mirror whose
# index is being synced, an install that fails, and a machine that has
# everything. The stand-ins log each call, so the checks read what set-up asked.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap "cat \"$work/failed_install/out\"; rm -rf \"$work\"" EXIT
failures=0

fail() { echo "FAIL $1"; failures=$((failures + 1)); }

# The stand-ins: apt-get update fails its first $UPDATE_FAILS calls (-1: always);
# apt-get install fails its first $INSTALL_FAILS calls and otherwise marks its
# packages installed; dpkg-query reports from that list; dpkg --audit prints
# $AUDIT until dpkg --configure -a has run.
mkdir -p "$work/bin"
cat >"$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STATE/log"
count() { local n; n=$(cat "$STATE/$1" 2>/dev/null || echo 0); echo $((n + 1)) >"$STATE/$1"; echo "$n"; }
case " $* " in
  *" update "*)
    n=$(count updates)
    if [ "$UPDATE_FAILS" = -1 ] || [ "$n" -lt "$UPDATE_FAILS" ]; then
      echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size. Mirror sync in progress?"
      exit 100
    fi ;;
  *" install "*)
    n=$(count installs)
    if [ "$n" -lt "$INSTALL_FAILS" ]; then echo "E: Unable to correct problems"; exit 100; fi
    skip=""
    for word in "$@"; do
      case $word in -t) skip=1 ;; -*|install|env|DEBIAN_FRONTEND=*) ;; *) [ -n "$skip" ] || echo "$word" >>"$STATE/installed"; skip="" ;; esac
    done ;;
esac
exit 0
EOF
cat >"$work/bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
package=${*: -1}
grep -qx -- "$package" "$STATE/installed" 2>/dev/null && printf 'install ok installed' && exit 0
exit 1
EOF
cat >"$work/bin/dpkg" <<'EOF'
#!/usr/bin/env bash
echo "dpkg $*" >>"$STATE/log"
case "$1" in
  --print-foreign-architectures) echo i386 ;;
  --audit) [ -e "$STATE/configured" ] || printf '%s' "${AUDIT:-}" ;;
  --configure) touch "$STATE/configured" ;;
esac
EOF
printf '#!/usr/bin/env bash\n"$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*

# run NAME UPDATE_FAILS INSTALL_FAILS [AUDIT]: runs set-up on a machine that
# has none of the packages; leaves its status, output and call log behind.
run() {
  export STATE="$work/$1" UPDATE_FAILS=$2 INSTALL_FAILS=$3 AUDIT=${4:-}
  mkdir -p "$STATE"
  PATH="$work/bin:$PATH" KESTROW_APT_PAUSE=0 KESTROW_APT_TRIES=3 \
    bash "$root/scripts/setup.sh" >"$STATE/out" 2>&1 </dev/null
  status=$?
}
calls() { grep -c -- "$2" "$work/$1/log" 2>/dev/null || true; }

run flaky_update 2 0
[ "$status" = 0 ] || fail "an update that fails twice then works: status $status"
[ "$(calls flaky_update 'apt-get update')" = 3 ] || fail "an update that fails twice: not tried three times"
[ "$(calls flaky_update ' -t ')" = 0 ] || fail "an update that worked in the end: the install still fell back to -t"

run broken_update -1 0
[ "$status" = 0 ] || fail "an update that always fails with an install that works: status $status"
[ "$(calls broken_update 'apt-get update')" = 3 ] || fail "an update that always fails: not tried three times"
[ "$(calls broken_update 'apt-get.* install')" = 1 ] || fail "an update that always fails: no install"

run release_versions -1 1
[ "$status" = 0 ] || fail "an install that works with the release's own versions: status $status"
grep -q -- ' -t ' "$work/release_versions/log" || fail "a failed install with a failed update: no -t retry"

run failed_install -1 9 "wine32 is half configured"
[ "$status" = 1 ] || fail "a failed install: status $status (want 1)"
message=$(grep '^setup: could not install' "$work/failed_install/out")
for part in wine32:i386 xdotool "being synced" "try again later" "scripts/setup.sh"; do
  [[ $message == *"$part"* ]] || fail "a failed install: the message lacks '$part': $message"
done
grep -q 'dpkg --configure -a' "$work/failed_install/log" || fail "a failed install left packages half configured"

run failed_install_whole_index 0 9
[ "$status" = 1 ] || fail "a failed install with whole indexes: status $status (want 1)"
[ "$(calls failed_install_whole_index ' -t ')" = 0 ] || fail "whole indexes: the install fell back to -t"
grep -q '^setup: could not install' "$work/failed_install_whole_index/out" ||
  fail "a failed install with whole indexes: no message"

# A machine that has everything touches no package tool.
export STATE="$work/complete"
mkdir -p "$STATE"
PATH="$work/bin:$PATH" bash -c 'for p in $(sed -n "/^packages=(/,/)/p" "$0" | tr -d "()" | sed "s/packages=//"); do
  echo "$p"; done' "$root/scripts/setup.sh" >"$STATE/installed"
PATH="$work/bin:$PATH" bash "$root/scripts/setup.sh" >"$STATE/out" 2>&1 </dev/null
status=$?
[ "$status" = 0 ] || fail "a machine that has everything: status $status"
[ ! -e "$STATE/log" ] || fail "a machine that has everything: set-up called $(head -1 "$STATE/log")"

if [ "$failures" = 0 ]; then echo "setup: 6 cases passed"; else exit 1; fi
