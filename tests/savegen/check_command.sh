#!/usr/bin/env bash
# Checks the savegen command: exit status 2 for bad usage, 1 for an unwritable file, and that
# the committed examples are exactly what examples/regenerate.sh builds today.
# Usage: check_command.sh SAVEGEN EXAMPLES_FOLDER WORK_FOLDER
set -uo pipefail
savegen=$1
examples=$2
work=$3
failures=0

expect_status() {
    local want=$1
    shift
    "$savegen" "$@" >/dev/null 2>&1
    local got=$?
    if [[ $got -ne $want ]]; then
        echo "FAIL: savegen $* exited $got, expected $want" >&2
        failures=$((failures + 1))
    fi
}

rm -rf "$work" && mkdir -p "$work"
expect_status 2 --release 1.7 -o "$work/x.sav"
expect_status 2 --release 1.2
expect_status 2 --release 1.2 --faction 256 -o "$work/x.sav"
expect_status 2 --release 1.2 --year 5 --era AD -o "$work/x.sav"
expect_status 2 --release 1.2 --unit-scale 40 --unit-scale-bits 3F800000 -o "$work/x.sav"
expect_status 2 --release 1.2 --unit-scale-bits 1FFFFFFFF -o "$work/x.sav"
expect_status 2 --release 1.2 --anchor-offset -1 -o "$work/x.sav"
expect_status 2 --release 1.2 --name $'\xff' -o "$work/x.sav"
expect_status 2 --release 1.2 --no-name-terminator --size 4096 -o "$work/x.sav"
expect_status 1 --release 1.2 -o "$work/missing/x.sav"
expect_status 0 --release 1.2 -o "$work/x.sav"
if [[ -e "$work/missing" ]]; then
    echo "FAIL: a failed write left a folder behind" >&2
    failures=$((failures + 1))
fi

if ! bash "$examples/regenerate.sh" "$savegen" "$work/examples" >/dev/null; then
    echo "FAIL: regenerate.sh failed" >&2
    failures=$((failures + 1))
fi
count=0
for committed in "$examples"/*.sav; do
    count=$((count + 1))
    if ! cmp -s "$committed" "$work/examples/$(basename "$committed")"; then
        echo "FAIL: $(basename "$committed") differs from what regenerate.sh builds" >&2
        failures=$((failures + 1))
    fi
done
if [[ $count -ne 5 || $(ls "$work/examples" | wc -l) -ne $count ]]; then
    echo "FAIL: expected the same 5 example saves in both folders" >&2
    failures=$((failures + 1))
fi
exit $((failures == 0 ? 0 : 1))
