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
# Two sparse files of nearly 4 GB: comparing them runs for seconds, so the
# Pause sent right behind Start always finds the job running.
truncate -s 4000000000 "$data/many/big-a.bin" "$data/many/big-b.bin"
for name in beach beach-copy beach-old; do printf 'the same picture\n' > "$data/Photos/$name.jpg"; done
printf 'another picture\n' > "$data/Photos/sunset.jpg"
wine_path() { local path=${1//\//\\}; echo "Z:$path"; }

kestrow=""
window=""
set_dpi() { wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
# Closes the copy and waits until Wine has ended, so the next one starts on
# its own.
stop_kestrow() {
  if [ -n "$window" ]; then xdotool key --window "$window" alt+F4 >/dev/null 2>&1 || true; fi
  timeout 30 wineserver -w || wineserver -k || true
  kill "$kestrow" 2>/dev/null || true
  window=""
}
finish() {
  stop_kestrow
  set_dpi 96
  rm -rf "$data"
}
trap finish EXIT

# Starts the copy in folder $1 at $2 DPI and finds its window. Depending on
# Wine's window management the X window is the whole window with Wine's own
# frame (the client area then starts below the caption) or the client area alone.
start_kestrow() {
  set_dpi "$2"
  "$here/scripts/wine-run.sh" "$1/Kestrow.exe" >/dev/null 2>&1 &
  kestrow=$!
  for _ in $(seq 1 300); do
    window=$(xdotool search --name '^Kestrow 1\.31$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "screenshots: Kestrow's window did not appear" >&2; exit 1; }
  eval "$(xdotool getwindowgeometry --shell "$window")"
  window_width=$(( (520 * $2 + 48) / 96 ))
  if [ "$WIDTH" -eq "$window_width" ]; then frame_x=4 frame_y=23; else frame_x=0 frame_y=0; fi
  client_width=$((WIDTH - 2 * frame_x))
}
start_kestrow "$run" 96

move() { xdotool mousemove --window "$window" $(($1 + frame_x)) $(($2 + frame_y)); }
# Over no zone three times, so every lit button goes dark.
darken() { move 150 60; move 151 61; move 150 62; }
click() { darken; move "$1" "$2"; xdotool click 1; darken; }
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
type_into_box() { click 200 "${2:-83}"; xdotool key ctrl+a; xdotool type --delay 2 "$1"; darken; }
wait_for_pixel() {  # shot, x, y, colour: captures until the pixel shows the colour (60 s at most)
  for _ in $(seq 1 600); do
    # A window just mapped may not be viewable yet: the capture is taken again.
    capture "$1" 2>/dev/null && [ "$(pixel "$1" "$2" "$3")" = "$4" ] && return 0
    sleep 0.1
  done
  expect_pixel "$@"
}
region() {  # shot, x, y, width, height: a digest of that part of the picture
  convert "$shots/$1.png" -crop "$4x$5+$(($2 + frame_x))+$(($3 + frame_y))" +repage ppm:- | md5sum
}
# The Start/Abort and About/Pause buttons as the idle File face shows them.
buttons() { echo "$(region "$1" $((client_width - 168)) 16 96 23) $(region "$1" $((client_width - 57)) 5 52 17)"; }
# Whether a part of the picture holds dark text: shot, x, y, width, height.
has_text() { [ "$(convert "$shots/$1.png" -crop "$4x$5+$(($2 + frame_x))+$(($3 + frame_y))" \
  -colorspace gray -format '%[fx:minima.intensity<0.5]' info:)" = 1 ]; }
# Whether the list holds rows: any dark text in its first rows.
list_has_rows() { has_text "$1" 5 145 200 60; }
wait_for_face() {  # shot, idle|running: captures until the buttons show that face (60 s at most)
  for _ in $(seq 1 600); do
    capture "$1" 2>/dev/null || { sleep 0.1; continue; }
    if [ "$2" = idle ]; then
      [ "$(buttons "$1")" = "$idle_buttons" ] && list_has_rows "$1" && return 0
    else
      [ "$(buttons "$1" | cut -d' ' -f1)" != "${idle_buttons%% *}" ] && return 0
    fi
    sleep 0.1
  done
  echo "screenshots: $1.png never showed the $2 face" >&2
  exit 1
}

button_face="srgb(213,215,183)"
start_x=$((client_width - 120))
pause_x=$((client_width - 30))
face_x=$((client_width - 160))   # inside the Start/Abort button, left of its text

# The mode switch's part of a picture.
switch_part() { region "$1" 25 15 25 25; }
# Captures the shot until its switch shows none of the given pictures (60 s at most).
await_switch_unlike() {  # shot, switch pictures...
  local shot=$1 seen known
  shift
  for _ in $(seq 1 600); do
    if capture "$shot" 2>/dev/null; then
      seen=$(switch_part "$shot") known=0
      for picture in "$@"; do [ "$seen" = "$picture" ] && known=1; done
      [ "$known" = 0 ] && return 0
    fi
    sleep 0.1
  done
  echo "screenshots: the mode switch in $shot.png never changed" >&2
  exit 1
}
# Turns the switch to the next mode and captures the shot once the switch
# shows it: neither dark in the mode before nor lit under the pointer in it.
# The pointer stays on the switch until the click has turned it, so the
# window handles the click before the pointer leaves, however loaded the machine.
next_mode() {  # shot of the face now, shot to take
  local dark lit
  dark=$(switch_part "$1")
  move 37 27
  await_switch_unlike "$2" "$dark"
  lit=$(switch_part "$2")
  xdotool click 1
  await_switch_unlike "$2" "$dark" "$lit"
  darken
  await_switch_unlike "$2" "$dark" "$lit"
}

idle_face() {  # shot
  capture "$1"
  expect_pixel "$1" "$face_x" 27 "$button_face"
  expect_pixel "$1" $((client_width - 50)) 36 "$button_face"   # Help
}

wait_for_pixel main_window_file "$face_x" 27 "$button_face"   # the first paint is done
idle_face main_window_file
idle_buttons=$(buttons main_window_file)
next_mode main_window_file main_window_directory
idle_face main_window_directory
next_mode main_window_directory main_window_quick_dir
idle_face main_window_quick_dir
next_mode main_window_quick_dir main_window_back_to_file

# The "running" picture is of a paused comparison: Start and Pause go out in one
# burst, and the picture is taken once the paused face is up, whatever the load.
type_into_box "$(wine_path "$data/many/big-a.bin")"
type_into_box "$(wine_path "$data/many/big-b.bin")" 105
darken
xdotool mousemove --window "$window" $((start_x + frame_x)) $((27 + frame_y)) click 1 \
  mousemove --window "$window" $((pause_x + frame_x)) $((13 + frame_y)) click 1
wait_for_face main_window_running running   # Abort and Resume: a job in hand, held
expect_pixel main_window_running "$face_x" 27 "$button_face"
click "$start_x" 27   # Abort
wait_for_face main_window_aborted idle
next_mode main_window_aborted main_window_directory_again   # for the finished search

type_into_box "$(wine_path "$data/Photos")"
click "$start_x" 27
wait_for_face main_window_finished idle
idle_face main_window_finished

# The client area's place in a shot: just past the last light-grey line of
# Wine's frame, left of it and below the caption (its scaled size is not
# known beforehand).
find_client() {  # shot
  frame_x=$(convert "$shots/$1.png" -crop "16x1+0+60" +repage -depth 8 txt:- |
    awk -F'[ ,:]+' '/#F5F5F5/ { x = $1 + 1 } END { print x + 0 }')
  frame_y=$(convert "$shots/$1.png" -crop "1x60+$((WIDTH / 2))+0" +repage -depth 8 txt:- |
    awk -F'[ ,:]+' '/#F5F5F5/ { y = $2 + 1 } END { print y + 0 }')
  client_width=$((WIDTH - 2 * frame_x))
  client_height=$((HEIGHT - frame_y - frame_x))
}
# Fails unless the last pixel column of a painted label's box, from (left, top)
# to (right, bottom) at 96 DPI, is free of text: a cut label reaches it.
expect_label_fits() {  # shot, dpi, label, left, top, right, bottom
  local x=$(( ($6 * $2 + 95) / 96 - 1 )) top=$(( $5 * $2 / 96 )) bottom=$(( ($7 * $2 + 95) / 96 ))
  if has_text "$1" "$x" "$top" 1 $((bottom - top)); then
    echo "screenshots: at $2 DPI the label \"$3\" is cut in $1.png" >&2
    exit 1
  fi
}
# Twins enough for a list longer than the window: its closing row must end in view.
mkdir -p "$data/twins"
for i in $(seq 1 25); do printf 'twin\n' > "$data/twins/t$i.bin"; done

# The first-run face at 150% and 200%: the window, its texts and buttons grow
# with the DPI instead of keeping their 96-DPI size, every label fits its box,
# and a long search ends with its closing row in full view.
for dpi in 144 192; do
  stop_kestrow
  rm -rf "$run" && mkdir -p "$run" && cp "$exe" "$run/Kestrow.exe"
  start_kestrow "$run" "$dpi"
  wait_for_pixel "main_window_dpi$dpi" $(( (client_width - 160 * dpi / 96) )) $((27 * dpi / 96)) "$button_face"
  for _ in $(seq 1 300); do   # and the list's column titles
    has_text "main_window_dpi$dpi" $((5 * dpi / 96)) $((122 * dpi / 96)) $((60 * dpi / 96)) $((16 * dpi / 96)) && break
    sleep 0.1
    capture "main_window_dpi$dpi" 2>/dev/null || true
  done
  if [ "$client_width" -lt $(( 500 * dpi / 96 )) ]; then
    echo "screenshots: at $dpi DPI the window is $client_width pixels wide, not scaled" >&2
    exit 1
  fi
  shot="main_window_dpi$dpi"
  find_client "$shot"
  expect_label_fits "$shot" "$dpi" "File" 3 5 40 14   # above the switch, which overlaps the box
  expect_label_fits "$shot" "$dpi" "Directory" 50 5 120 20
  expect_label_fits "$shot" "$dpi" "Quick Dir" 50 35 120 50
  expect_label_fits "$shot" "$dpi" "Compare this" 3 75 80 90
  expect_label_fits "$shot" "$dpi" "With this" 3 95 80 110

  # Quick Dir (the switch turned twice, F2 from a path box), then a long search.
  scaled() { echo $(( $1 * dpi / 96 )); }
  click "$(scaled 200)" "$(scaled 83)"
  xdotool key F2 F2
  xdotool type --delay 2 "$(wine_path "$data/twins")"
  xdotool key Return
  long="main_window_long_list_dpi$dpi"
  for _ in $(seq 1 600); do   # until the face is idle again and the list holds rows
    capture "$long" 2>/dev/null || { sleep 0.1; continue; }
    [ "$(region "$long" "$(scaled 360)" "$(scaled 16)" "$(scaled 90)" "$(scaled 22)")" = \
      "$(region "$shot" "$(scaled 360)" "$(scaled 16)" "$(scaled 90)" "$(scaled 22)")" ] &&
      has_text "$long" "$(scaled 5)" "$(scaled 145)" "$(scaled 100)" "$(scaled 30)" && break
    sleep 0.1
  done
  # A closing row cut by the list's bottom edge shows text in the rows just above the edge;
  # the list's last scroll may still be on its way, so give it until the deadline.
  row_cut=1
  for _ in $(seq 1 100); do
    capture "$long" 2>/dev/null || { sleep 0.1; continue; }
    has_text "$long" "$(scaled 5)" $((client_height - 2 - dpi / 48)) "$(scaled 200)" $((dpi / 48)) ||
      { row_cut=0; break; }
    sleep 0.1
  done
  if [ "$row_cut" = 1 ]; then
    echo "screenshots: at $dpi DPI the list's last row is cut in $long.png" >&2
    exit 1
  fi
  expect_label_fits "$long" "$dpi" "Search this" 3 75 80 90
done

if [ "$docs" = 1 ]; then
  mkdir -p "$here/docs"
  cp "$shots/main_window_finished.png" "$here/docs/main-window.png"
fi
echo "== screenshots in $shots"
