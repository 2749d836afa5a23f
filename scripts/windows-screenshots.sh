#!/usr/bin/env bash
# Renders the Windows program under Wine in a virtual display: the editor with a
# loaded save and the About box, to docs/screenshots/windows-*.png, and the
# editor in one translation (German unless named) as windows-editor-LANGUAGE.png.
# Usage: scripts/windows-screenshots.sh [BUILD_DIR [LANGUAGE]]   (default build/windows de)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=$(realpath "${1:-build/windows}")
language=${2:-de}
out=$PWD/docs/screenshots
mkdir -p "$out"
command -v convert >/dev/null || { echo "convert (ImageMagick) is missing: scripts/install-deps.sh --windows" >&2; exit 2; }

bash scripts/wine-session.sh bash -c '
    set -euo pipefail
    shots=$VARNHOLT_SESSION/shots
    mkdir -p "$shots"
    app=$(winepath -w "$1/win32/Varnholt.exe")
    wine "$1/tools/win32/varnholt_win32_probe.exe" "$app" --screenshots "$(winepath -w "$shots")"
    # The language run of the end-to-end driver leaves the window in the same
    # state, checks that nothing in it is cut or left in English, and shoots it.
    VARNHOLT_SCREENSHOTS=$(winepath -w "$shots") wine "$1/tests/win32/win32_end_to_end.exe" \
        --gtest_filter="InTheLanguage.*" "$app" "$(winepath -w "$1/cli/varnholt-cli.exe")" "$3" \
        >"$VARNHOLT_SESSION/driver.log" || { cat "$VARNHOLT_SESSION/driver.log" >&2; exit 1; }
    for name in editor about "editor-$3"; do
        convert "$shots/windows-$name.bmp" -strip "$2/windows-$name.png"
    done
' screenshots "$build" "$out" "$language"
ls -l "$out"/windows-*.png
