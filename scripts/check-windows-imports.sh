#!/usr/bin/env bash
# Checks that Windows executables import system DLLs only, so that each runs
# from any folder without a DLL beside it.
# Usage: check-windows-imports.sh OBJDUMP EXE...
set -euo pipefail
objdump=$1
shift
system_dlls=" kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll shell32.dll advapi32.dll "
system_dlls+=" ole32.dll oleaut32.dll oleacc.dll shlwapi.dll uxtheme.dll version.dll msvcrt.dll "
failures=0
for exe in "$@"; do
    dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
    if [[ -z "$dlls" ]]; then
        echo "FAIL: $exe: objdump lists no imported DLL" >&2
        failures=$((failures + 1))
        continue
    fi
    for dll in $dlls; do
        if [[ "$system_dlls" != *" $dll "* ]]; then
            echo "FAIL: $(basename "$exe") imports $dll, which is not part of Windows" >&2
            failures=$((failures + 1))
        fi
    done
    echo "$(basename "$exe"): $(echo $dlls)"
done
exit $((failures > 0))
