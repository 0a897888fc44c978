#!/usr/bin/env bash
# Proves from the files alone that Windows 2000 SP4 can load the shipped programs: every function
# they import is on the allow-list of functions that Windows 2000 exports, nothing is imported by
# ordinal or delay-loaded (neither can be checked by name), and the PE header asks for no newer
# system. Wine cannot tell: it exports every function whatever Windows version it reports.
# Usage: check_imports.sh KESTROW_EXE KESTROW_CLI_EXE [ALLOW_LIST]
# OBJDUMP and NM name the MinGW objdump and nm (default i686-w64-mingw32-objdump and -nm).
set -uo pipefail
[ $# -ge 2 ] || { echo "usage: check_imports.sh KESTROW_EXE KESTROW_CLI_EXE [ALLOW_LIST]" >&2; exit 2; }
gui=$1 console=$2
allow_list=${3:-$(dirname "$0")/windows2000_imports.txt}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
nm=${NM:-i686-w64-mingw32-nm}
[ -r "$allow_list" ] || { echo "cannot read the allow-list $allow_list" >&2; exit 2; }

# check_program FILE SUBSYSTEM_CODE SUBSYSTEM_NAME: prints one line per fault.
check_program() {
    local file=$1 subsystem=$2 subsystem_name=$3 dump
    if ! dump=$("$objdump" -p "$file" 2>&1); then
        echo "$file: objdump cannot read it: $dump"
        return
    fi
    # MinGW's delay-load imports leave the PE delay import directory empty; their helper and
    # descriptors still show in the symbol table of an unstripped program.
    if "$nm" "$file" 2>/dev/null | grep -qE '__DELAY_IMPORT_DESCRIPTOR_|delayLoadHelper2'; then
        echo "$(basename "$file"): links delay-load imports, which this check cannot name"
    fi
    printf '%s\n' "$dump" | awk -v file="$(basename "$file")" -v want_subsystem="$subsystem" \
        -v subsystem_name="$subsystem_name" -v allow_list="$allow_list" '
        BEGIN {
            while ((getline line < allow_list) > 0) {
                sub(/#.*/, "", line); gsub(/[ \t\r]/, "", line)
                if (line == "") continue
                if (line ~ /^\[.*\]$/) {
                    dll = toupper(substr(line, 2, length(line) - 2)); dlls[dll] = 1; continue
                }
                if (dll == "") { print allow_list ": " line " stands under no [DLL] heading"; bad = 1; exit }
                allowed[dll " " line] = 1
            }
        }
        / file format / && $NF != "pei-i386" { print file ": file format " $NF ", not 32-bit x86 PE" }
        $1 == "Subsystem" {
            if ($2 + 0 != want_subsystem) print file ": subsystem " $2 " " $3 " " $4 ", want " subsystem_name
            seen["subsystem"] = 1
        }
        $1 ~ /^(Major|Minor)(OSystem|Subsystem)Version$/ { version[$1] = $2 + 0 }
        $1 == "Entry" && $(NF - 2) " " $(NF - 1) " " $NF == "Delay Import Directory" && $4 != "00000000" {
            print file ": has delay-load imports, which this check cannot name"
        }
        /^The Import Tables/ { in_imports = 1; next }
        in_imports && /^[^ \t]/ { in_imports = 0 }
        in_imports && /DLL Name:/ {
            dll = $0; sub(/.*DLL Name: */, "", dll); DLL = toupper(dll)
            imports++
            if (!(DLL in dlls)) print file ": imports from " dll ", which is not on the allow-list"
            next
        }
        in_imports && dll != "" && /^\t[0-9a-f]+\t +[0-9]+ / {
            if ($3 == "<none>") {
                print file ": " dll " ordinal " $2 " is imported by ordinal, which this check cannot name"
                next
            }
            if (!((DLL " " $3) in allowed)) print file ": " dll " " $3 " is not on the allow-list"
        }
        END {
            if (bad) exit
            if (!seen["subsystem"]) print file ": no PE optional header found"
            if (!imports) print file ": no import table found"
            split("OSystem Subsystem", kinds, " ")
            for (k in kinds) {
                major = version["Major" kinds[k] "Version"]; minor = version["Minor" kinds[k] "Version"]
                if (major > 5 || (major == 5 && minor > 0))
                    print file ": " (kinds[k] == "OSystem" ? "operating system" : "subsystem") " version " \
                        major "." minor " is above 5.0, which Windows 2000 refuses"
            }
        }'
}

faults=$( { check_program "$gui" 2 "Windows GUI"; check_program "$console" 3 "Windows CUI"; } )
if [ -n "$faults" ]; then
    printf '%s\n' "$faults"
    count=$(printf '%s\n' "$faults" | wc -l)
    echo "FAIL: $count fault(s). Add an import to $(basename "$allow_list") only" \
        "once the platform documentation shows that Windows 2000 SP4 exports it."
    exit 1
fi
echo "ok: $(basename "$gui") and $(basename "$console") import only functions Windows 2000 SP4 exports"
