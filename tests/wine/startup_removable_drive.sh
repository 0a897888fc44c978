#!/usr/bin/env bash
# Run from a removable drive, Kestrow keeps its settings beside itself even
# when "DefSet.txt" is there.
source "$(dirname "$0")/kestrow_session.bash"

drive_link="$WINEPREFIX/dosdevices/r:"
[ ! -e "$drive_link" ] || fail "drive R: is already in use in this prefix"
appdata_unix=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")
per_user="$appdata_unix/Brevant/Kestrow/dKest.dat"
remove_drive() {
    rm -f "$drive_link"
    wine reg delete 'HKLM\Software\Wine\Drives' /v 'r:' /f /reg:64 >/dev/null 2>&1 || true
}
trap 'remove_drive; cleanup' EXIT

ln -s "$work" "$drive_link"
wine reg add 'HKLM\Software\Wine\Drives' /v 'r:' /t REG_SZ /d floppy /f /reg:64 >/dev/null 2>&1
wineserver -k || true   # the drive type is read when the prefix starts
rm -f "$per_user"
touch "$work/DefSet.txt"

start_kestrow 'R:\Kestrow.exe'
close_kestrow
expect_settings_file "$work/dKest.dat"
[ ! -e "$per_user" ] || fail "settings file went to the per-user folder from a removable drive"
echo "ok"
