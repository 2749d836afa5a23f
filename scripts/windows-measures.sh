#!/usr/bin/env bash
# The Windows program's measures: the size of Varnholt.exe as shipped (stripped),
# start-up to first paint under Wine (median of 10 starts after one to warm up),
# and the time of the end-to-end run (the whole test, and the scenarios alone).
# Usage: scripts/windows-measures.sh [BUILD_DIR]   (default build/windows, built)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=$(realpath "${1:-build/windows}")
exe=$build/win32/Varnholt.exe
driver=$build/tests/win32/win32_end_to_end.exe
probe=$build/tools/win32/varnholt_win32_probe.exe
cli=$build/cli/varnholt-cli.exe

stripped=$(mktemp)
trap 'rm -f "$stripped"' EXIT
x86_64-w64-mingw32-strip -o "$stripped" "$exe"
echo "Varnholt.exe: $(stat -c %s "$stripped") bytes stripped as shipped ($(stat -c %s "$exe") as built)"

# Starts with a running Wine server, as a user's second and later starts are.
bash scripts/wine-session.sh bash -c 'wineserver -p
    wine "$1" "$(winepath -w "$2")" --measure 10' measure "$probe" "$exe"

start=$(date +%s.%N)
# GoogleTest's summary: how many tests ran, in how long.
bash tests/win32/run-end-to-end.sh "$driver" "$exe" "$cli" | grep -E '^\[(==========|  PASSED  |  FAILED  )\]'
end=$(date +%s.%N)
echo "end-to-end test with its Wine session: $(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }') s"
