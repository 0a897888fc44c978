#!/usr/bin/env bash
# A second start puts the window where the settings file says; a damaged file
# starts like a first run and is replaced by a good one at the close.
source "$(dirname "$0")/kestrow_session.bash"
settings="$work/dKest.dat"

start_kestrow
close_kestrow
expect_settings_file "$settings"

# Move the saved normal position to (100, 80), keeping the size.
printf '\x64\x00\x00\x00\x50\x00\x00\x00\x6c\x02\x00\x00\xe0\x01\x00\x00' |
    dd of="$settings" bs=1 seek=696 conv=notrunc status=none
start_kestrow
window_at 100 80 || fail "second start at $(window_position), expected the saved 100,80"
close_kestrow
[ "$(u32_at "$settings" 696)" = 100 ] && [ "$(u32_at "$settings" 700)" = 80 ] ||
    fail "the restored position was not saved again"

# Search mode 7 makes the file damaged: defaults, centred window, good file at the close.
printf '\x07' | dd of="$settings" bs=1 seek=8 conv=notrunc status=none
start_kestrow
! window_at 100 80 || fail "a damaged file's placement was used"
close_kestrow
expect_settings_file "$settings"
[ "$(u32_at "$settings" 8)" = 0 ] || fail "search mode not back to File after a damaged file"
[ "$(u32_at "$settings" 16)" = 95 ] || fail "match percent not back to 95 after a damaged file"
echo "ok"
