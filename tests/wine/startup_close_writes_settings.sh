#!/usr/bin/env bash
# Kestrow.exe starts with its window centred at 520 x 400, and closing it
# while idle writes the settings file beside the program.
source "$(dirname "$0")/kestrow_session.bash"

start_kestrow
screen=$(xdotool getdisplaygeometry)
expected_x=$(( (${screen% *} - 520) / 2 ))
expected_y=$(( (${screen#* } - 400) / 2 ))
window_at "$expected_x" "$expected_y" || fail "first run at $(window_position), expected $expected_x,$expected_y"
[ ! -e "$work/dKest.dat" ] || fail "settings file written before the close"

close_kestrow
expect_settings_file "$work/dKest.dat"
[ "$(u32_at "$work/dKest.dat" 16)" = 95 ] || fail "match percent is not the default 95"
[ "$(u32_at "$work/dKest.dat" 28)" = 1 ] || fail "Hash is not on by default"
[ "$(u32_at "$work/dKest.dat" 668)" = 44 ] || fail "no window placement saved"
echo "ok"
