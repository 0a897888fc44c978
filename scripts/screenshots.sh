#!/usr/bin/env bash
# Starts Kestrow.exe under Wine on the current display, works it with the pointer
# and the keyboard, and keeps PNG screenshots of the idle face in each mode, a
# running search and a finished search; checks a few pixels of each.
#
#   scripts/screenshots.sh [Kestrow.exe] [--docs]
#
# The PNGs go to screenshots/ beside the program (under build/, never into git).
# --docs also copies the finished search to docs/main-window.png for the README.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
exe="$here/build/windows/Kestrow.exe"
docs=0
for argument in "$@"; do
  case "$argument" in
    --docs) docs=1 ;;
    *) exe=$(cd "$(dirname "$argument")" && pwd)/$(basename "$argument") ;;
  esac
done
: "${DISPLAY:?screenshots need a display (Xvfb)}"
export WINEPREFIX="${WINEPREFIX:-$here/build/wineprefix}" WINEDEBUG="${WINEDEBUG:--all}"

build=$(dirname "$exe")
shots="$build/screenshots"
run="$build/screenshot-run"   # a private copy: its settings file stays here
data=$(mktemp -d /tmp/kXXXX)  # short, so the file names show in the list
rm -rf "$run"
mkdir -p "$shots" "$run" "$data/many" "$data/Photos"
cp "$exe" "$run/Kestrow.exe"
cp "$here/resources/ReadMe.htm" "$run/"
# Mostly unlike files (compared, never listed) with a few twins among them.
for i in $(seq 1 1000); do head -c 256 /dev/urandom > "$data/many/file$i.bin"; done
for i in $(seq 1 8); do printf 'kestrow twin file\n' > "$data/many/twin$i.txt"; done
for name in beach beach-copy beach-old; do printf 'the same picture\n' > "$data/Photos/$name.jpg"; done
printf 'another picture\n' > "$data/Photos/sunset.jpg"
wine_path() { local path=${1//\//\\}; echo "Z:$path"; }

"$here/scripts/wine-run.sh" "$run/Kestrow.exe" >/dev/null 2>&1 &
kestrow=$!
window=""
finish() {
  if [ -n "$window" ]; then xdotool key --window "$window" alt+F4 >/dev/null 2>&1 || true; fi
  for _ in $(seq 1 50); do kill -0 "$kestrow" 2>/dev/null || break; sleep 0.1; done
  kill "$kestrow" 2>/dev/null || true
  rm -rf "$data"
}
trap finish EXIT

for _ in $(seq 1 300); do
  window=$(xdotool search --name '^Kestrow 1\.31$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "screenshots: Kestrow's window did not appear" >&2; exit 1; }
sleep 1

# Depending on Wine's window management the X window is the whole 520-pixel
# window with Wine's own frame (the client area then starts below the caption)
# or the client area alone.
eval "$(xdotool getwindowgeometry --shell "$window")"
if [ "$WIDTH" -eq 520 ]; then frame_x=4 frame_y=23; else frame_x=0 frame_y=0; fi
client_width=$((WIDTH - 2 * frame_x))

move() { xdotool mousemove --window "$window" $(($1 + frame_x)) $(($2 + frame_y)); }
# Over no zone three times, so every lit button goes dark.
darken() { move 150 60; move 151 61; move 150 62; }
click() { darken; move "$1" "$2"; sleep 0.1; xdotool click 1; sleep 0.3; darken; }
capture() { import -window "$window" "$shots/$1.png"; }
pixel() { convert "$shots/$1.png" -format "%[pixel:p{$(($2 + frame_x)),$(($3 + frame_y))}]" info:; }
expect_pixel() {  # shot, x, y, colour
  local seen
  seen=$(pixel "$1" "$2" "$3")
  if [ "$seen" != "$4" ]; then
    echo "screenshots: $1.png at ($2,$3) shows $seen, expected $4" >&2
    exit 1
  fi
}
type_into_box() { click 200 83; xdotool key ctrl+a; xdotool type --delay 2 "$1"; darken; }

button_face="srgb(213,215,183)"
black="srgb(0,0,0)"
start_x=$((client_width - 120))
face_x=$((client_width - 160))   # inside the Start/Abort button, left of its text

idle_face() {  # shot
  capture "$1"
  expect_pixel "$1" "$face_x" 27 "$button_face"
  expect_pixel "$1" $((client_width - 50)) 36 "$button_face"   # Help
}

idle_face main_window_file
click 37 27
idle_face main_window_directory
click 37 27
idle_face main_window_quick_dir
click 37 27
click 37 27   # back to Directory: every pair is compared, so the search runs a while

type_into_box "$(wine_path "$data/many")"
click "$start_x" 27
for _ in $(seq 1 200); do
  capture main_window_running
  [ "$(pixel main_window_running 45 12)" = "$black" ] && break
  sleep 0.1
done
expect_pixel main_window_running 45 12 "$black"
expect_pixel main_window_running "$face_x" 27 "$button_face"
click "$start_x" 27   # Abort

type_into_box "$(wine_path "$data/Photos")"
click "$start_x" 27
for _ in $(seq 1 100); do
  sleep 0.2
  capture main_window_finished
  [ "$(pixel main_window_finished 45 12)" != "$black" ] && break
done
idle_face main_window_finished
if [ "$(pixel main_window_finished 45 12)" = "$black" ]; then
  echo "screenshots: the finished search still shows the progress band" >&2
  exit 1
fi
if [ "$docs" = 1 ]; then
  mkdir -p "$here/docs"
  cp "$shots/main_window_finished.png" "$here/docs/main-window.png"
fi
echo "== screenshots in $shots"
