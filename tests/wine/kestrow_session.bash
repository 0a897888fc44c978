# Shared steps of the whole-program checks: each script sources this with
# Kestrow.exe's path as $1. The program runs from a copy in a fresh folder,
# so its settings file lands there. DISPLAY and WINEPREFIX come from the
# environment.
set -euo pipefail

source_exe=$(readlink -f "$1")
work=$(mktemp -d /tmp/kestrow_wine.XXXXXX)
cp "$source_exe" "$work/Kestrow.exe"
export WINEDEBUG=${WINEDEBUG:--all}
title='Kestrow 1.31'
kestrow_pid=""

cleanup() {
    if [ -n "$kestrow_pid" ] && kill -0 "$kestrow_pid" 2>/dev/null; then
        wine taskkill /f /im Kestrow.exe >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The X window that shows the main window, once it is on the screen.
main_window() {
    xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1
}

# Waits for states, not times: the bound only ends a run that is stuck, and is
# generous because Wine starts slowly on a loaded machine.
wait_steps=1200  # tenths of a second

# Starts the copy, or the program at the Windows path given.
start_kestrow() {
    local program=${1:-Kestrow.exe}
    (cd "$work" && exec wine "$program" >/dev/null 2>&1) &
    kestrow_pid=$!
    for _ in $(seq 1 "$wait_steps"); do
        [ -n "$(main_window)" ] && return 0
        kill -0 "$kestrow_pid" 2>/dev/null || fail "Kestrow.exe ended without showing its window"
        sleep 0.1
    done
    fail "no window titled '$title' appeared"
}

# Asks the program to close (a close message to its windows, as the close box
# sends) and waits until the process has ended.
close_kestrow() {
    wine taskkill /im Kestrow.exe >/dev/null 2>&1 || true
    for _ in $(seq 1 "$wait_steps"); do
        kill -0 "$kestrow_pid" 2>/dev/null || { wait "$kestrow_pid" || true; kestrow_pid=""; return 0; }
        sleep 0.1
    done
    fail "Kestrow.exe did not end after the close request"
}

# "x y" of the main window on the screen.
window_position() {
    xdotool getwindowgeometry "$(main_window)" | sed -n 's/.*Position: \([-0-9]*\),\([-0-9]*\).*/\1 \2/p'
}

# True when the window's top-left corner is at (x, y). Depending on Wine's
# window management the X window is the whole window or only its client area,
# which lies a frame's width right of and a caption's height below the corner.
corner_at() {
    local x y
    read -r x y < <(window_position)
    [ -n "$x" ] && [ -n "$y" ] || return 1
    local dx=$((x - $1)) dy=$((y - $2))
    [ "$dx" -ge 0 ] && [ "$dx" -le 10 ] && [ "$dy" -ge 0 ] && [ "$dy" -le 40 ]
}

# Waits until the window has reached (x, y): the window may show before the
# window manager has placed it.
window_at() {
    for _ in $(seq 1 50); do
        corner_at "$1" "$2" && return 0
        sleep 0.1
    done
    return 1
}

# Unsigned 32-bit little-endian value at a byte offset of a file.
u32_at() {
    od -An -tu4 -j "$2" -N 4 "$1" | tr -d ' '
}

expect_settings_file() {
    local file=$1
    [ -f "$file" ] || fail "no settings file at $file"
    [ "$(stat -c %s "$file")" = 2008 ] || fail "$file is $(stat -c %s "$file") bytes, not 2008"
    [ "$(head -c 8 "$file")" = KEST1300 ] || fail "$file does not start with KEST1300"
}
