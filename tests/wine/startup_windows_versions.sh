#!/usr/bin/env bash
# Kestrow starts on Windows 2000, XP, 7 and 10 as Wine reports them, and
# refuses Windows 98 with its message, writing nothing.
source "$(dirname "$0")/kestrow_session.bash"

previous=$(wine reg query 'HKCU\Software\Wine' /v Version 2>/dev/null | tr -d '\r' |
    sed -n 's/.*Version[[:space:]]*REG_SZ[[:space:]]*//p' || true)
restore_version() {
    if [ -n "$previous" ]; then
        wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d "$previous" /f >/dev/null 2>&1
    else
        wine reg delete 'HKCU\Software\Wine' /v Version /f >/dev/null 2>&1 || true
    fi
}
trap 'restore_version; cleanup' EXIT

for version in win2k winxp win7 win10; do
    wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d "$version" /f >/dev/null 2>&1
    rm -f "$work/dKest.dat"
    start_kestrow
    close_kestrow
    expect_settings_file "$work/dKest.dat"
    echo "$version: started"
done
wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win98 /f >/dev/null 2>&1
rm -f "$work/dKest.dat"
start_kestrow
width=$(xdotool getwindowgeometry "$(main_window)" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
[ "$width" -lt 450 ] || fail "Windows 98 got the main window instead of the refusal"
close_kestrow
[ ! -e "$work/dKest.dat" ] || fail "a refused start wrote the settings file"
echo "win98: refused"
echo "ok"
