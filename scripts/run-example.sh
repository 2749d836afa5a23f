#!/usr/bin/env bash
# Builds varnholt-cli and runs it on a copy of a bundled example save: shows the
# save, writes an edited copy beside it, and shows the copy.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target varnholt-cli

cli=build/default/cli/varnholt-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/early-base-1.2.sav "$work/quick.sav"

echo "== varnholt-cli info quick.sav"
"$cli" info "$work/quick.sav"
echo
echo "== varnholt-cli apply quick.sav --campaign-difficulty Medium --unit-scale 80 --year 50 --era AD"
output=$("$cli" apply "$work/quick.sav" --campaign-difficulty Medium --unit-scale 80 --year 50 --era AD)
echo "$output"
echo
echo "== varnholt-cli info $(basename "$output")"
"$cli" info "$output"
