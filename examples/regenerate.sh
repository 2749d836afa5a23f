#!/usr/bin/env bash
# Regenerates the example saves byte for byte.
# Usage: examples/regenerate.sh path/to/savegen [output folder, default: this folder]
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 ]]; then
    echo "usage: $0 SAVEGEN [OUTPUT_FOLDER]" >&2
    exit 2
fi
savegen=$1
out=${2:-$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)}
mkdir -p "$out"

# First release (format 1): 43-byte faction records, anchor reference place 3399.
"$savegen" --release 1.0 --faction 5 --campaign-difficulty 2 --battle-difficulty 1 \
    --time-limit-byte 28 --length-flag 0 --length-value 50 --unit-scale 60 \
    --year 250 --era BC --season summer --anchor-gap 212 --size 6144 --seed 1001 \
    -o "$out/first-release-1.0.sav"

# Early base game (3/4), short campaign, anchor at an odd offset.
"$savegen" --release 1.2 --faction 11 --campaign-difficulty 3 --battle-difficulty 2 \
    --time-limit-byte 30 --length-flag 4 --length-value 20 --unit-scale 100 \
    --year 120 --era BC --season winter --anchor-gap 1337 --size 20480 --seed 1202 \
    -o "$out/early-base-1.2.sav"

# Late base game (format 4, no marker), the last faction code.
"$savegen" --release 1.5 --faction 19 --campaign-difficulty 1 --battle-difficulty 3 \
    --time-limit-byte 28 --length-flag 0 --length-value 50 --unit-scale 160 \
    --year 14 --era AD --season summer --anchor-gap 800 --size 40960 --seed 1505 \
    -o "$out/late-base-1.5.sav"

# Expansion (format 4 with the marker): campaign name at 70, 18 units.
"$savegen" --release 1.6 --name migration_campaign --faction 7 --campaign-difficulty 0 \
    --battle-difficulty 0 --time-limit-byte 30 --length-flag 0 --length-value 50 --unit-scale 20 \
    --year 363 --era AD --season winter --anchor-gap 2044 --size 12288 --seed 1606 \
    -o "$out/expansion-1.6.sav"

# The known modification, recognised by its campaign name.
"$savegen" --release 1.2 --name iron_dominion_plus --faction 17 --campaign-difficulty 2 \
    --battle-difficulty 3 --time-limit-byte 28 --length-flag 4 --length-value 20 --unit-scale 45 \
    --year 1 --era BC --season winter --anchor-gap 500 --size 9000 --seed 1212 \
    -o "$out/mod-campaign-1.2.sav"
