#!/usr/bin/env bash
# The layer check fails when it must: an include against the order in the engine, in the window
# and in the command line, an include against the order of the engine's rooms, an engine file
# outside every room, and an include circle, each planted in a copy of the source tree.
# Usage: check_layers_catches.sh [ROOT]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=${1:-$here/../..}
check=$here/check_layers.py
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fresh_copy() {
    rm -rf "$work/tree" && mkdir "$work/tree"
    for folder in resources engine cli shell window actions startup; do
        cp -r "$root/$folder" "$work/tree/$folder"
    done
}

# expect_failure NAME FILE INCLUDE EXPECTED_LINE: FILE with INCLUDE added must fail the check
# with EXPECTED_LINE.
expect_failure() {
    local name=$1 file=$2 include=$3 expected=$4 output
    fresh_copy
    printf '#include "%s"\n' "$include" >>"$work/tree/$file"
    if output=$(python3 "$check" "$work/tree"); then
        echo "FAIL $name: the check passed"; failures=$((failures + 1))
    elif ! grep -qxF "$expected" <<<"$output"; then
        echo "FAIL $name: no line '$expected' in:"; echo "$output"; failures=$((failures + 1))
    fi
}

fresh_copy
if ! output=$(python3 "$check" "$work/tree"); then
    echo "FAIL the unchanged copy does not pass:"; echo "$output"; exit 1
fi

expect_failure "engine reaching the shell" engine/job/run_state.h shell/gui_state.h \
    'engine/job/run_state.h: #include "shell/gui_state.h" goes against the layer order (engine may include engine)'
expect_failure "window reaching the actions" window/main_window_proc.cpp actions/action_dialog.h \
    'window/main_window_proc.cpp: #include "actions/action_dialog.h" goes against the layer order (window may include window, shell, engine, resources)'
expect_failure "command line reaching the shell" cli/main.cpp shell/settings.h \
    'cli/main.cpp: #include "shell/settings.h" goes against the layer order (cli may include cli, engine, resources)'
expect_failure "two engine files that include each other" engine/rows/run_record.cpp engine/rows/result_list.h \
    'include circle among engine/rows/result_list, engine/rows/run_record'
expect_failure "a room reaching a room above it" engine/base/fs.h engine/job/app_state.h \
    'engine/base/fs.h: #include "engine/job/app_state.h" goes against the room order (engine/base may include engine/base)'
expect_failure "one route reaching the other" engine/search/quick/quick_dir_search.cpp \
    engine/search/directory/block_layout.h \
    'engine/search/quick/quick_dir_search.cpp: #include "engine/search/directory/block_layout.h" goes against the room order (engine/search/quick may include engine/search/quick, engine/search/pairs, engine/index, engine/compare, engine/job, engine/rows, engine/base)'
expect_failure "an engine file outside the rooms" engine/loose.h engine/base/fs.h \
    'engine/loose.h: lies in no room of the engine (engine/base, engine/rows, engine/job, engine/compare, engine/index, engine/search/pairs, engine/search/quick, engine/search/directory, engine/search)'

[ "$failures" -eq 0 ] || exit 1
echo "ok"
