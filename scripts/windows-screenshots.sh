#!/usr/bin/env bash
# Renders the Windows program under Wine in a virtual display: the editor with a
# loaded save and the About box, to docs/screenshots/windows-*.png.
# Usage: scripts/windows-screenshots.sh [BUILD_DIR]   (default build/windows)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=$(realpath "${1:-build/windows}")
out=$PWD/docs/screenshots
mkdir -p "$out"
command -v convert >/dev/null || { echo "convert (ImageMagick) is missing: scripts/install-deps.sh --windows" >&2; exit 2; }

bash scripts/wine-session.sh bash -c '
    set -euo pipefail
    shots=$VARNHOLT_SESSION/shots
    mkdir -p "$shots"
    wine "$1/tools/win32/varnholt_win32_probe.exe" "$(winepath -w "$1/win32/Varnholt.exe")" \
        --screenshots "$(winepath -w "$shots")"
    for name in editor about; do
        convert "$shots/windows-$name.bmp" -strip "$2/windows-$name.png"
    done
' screenshots "$build" "$out"
ls -l "$out"/windows-*.png
