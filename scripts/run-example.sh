#!/usr/bin/env bash
# Builds the programs and opens the window varnholt on a copy of a bundled
# example save. Without a display it says so and uses varnholt-cli instead:
# shows the save, writes an edited copy beside it, and shows the copy.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target varnholt-cli varnholt

cli=build/default/cli/varnholt-cli
work=build/example
rm -rf "$work"
mkdir -p "$work"
cp examples/early-base-1.2.sav "$work/quick.sav"

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
    echo "== varnholt quick.sav (a copy in $work; close the window to end)"
    build/default/qt/varnholt "$work/quick.sav"
    echo "== $work now holds:"
    ls -l "$work"
    exit 0
fi
echo "No display here (DISPLAY and WAYLAND_DISPLAY are unset), so the window cannot open;"
echo "varnholt-cli edits the copy instead."
echo

echo "== varnholt-cli info $work/quick.sav"
"$cli" info "$work/quick.sav"
echo
echo "== varnholt-cli apply $work/quick.sav --campaign-difficulty Medium --unit-scale 80 --year 50 --era AD"
output=$("$cli" apply "$work/quick.sav" --campaign-difficulty Medium --unit-scale 80 --year 50 --era AD)
echo "$output"
echo
echo "== varnholt-cli info $output"
"$cli" info "$output"
echo
echo "The edited copy is $(realpath "$output"); the save it was made from, unchanged,"
echo "is $(realpath "$work/quick.sav"). varnholt-cli itself is $(realpath "$cli")."
