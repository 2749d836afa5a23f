#!/usr/bin/env bash
# Builds varnholt-cli and runs it on a copy of a bundled example save in
# build/example/: shows the save, writes an edited copy beside it, shows the
# copy, and leaves both there to look at.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target varnholt-cli

cli=build/default/cli/varnholt-cli
work=build/example
rm -rf "$work"
mkdir -p "$work"
cp examples/early-base-1.2.sav "$work/quick.sav"

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
