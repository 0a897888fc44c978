#!/usr/bin/env bash
# "DefSet.txt" beside the program moves the settings file to
# <application data>\Brevant\Kestrow\.
source "$(dirname "$0")/kestrow_session.bash"

appdata_unix=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")
per_user="$appdata_unix/Brevant/Kestrow/dKest.dat"
rm -f "$per_user"
touch "$work/DefSet.txt"

start_kestrow
close_kestrow
[ ! -e "$work/dKest.dat" ] || fail "settings file written beside the program despite DefSet.txt"
expect_settings_file "$per_user"
rm -f "$per_user"
echo "ok"
