#!/usr/bin/env bash
# Runs the end-to-end driver against Varnholt.exe in a private Wine session.
# Usage: run-end-to-end.sh DRIVER APP CLI [GOOGLETEST FLAGS...], e.g. --gtest_filter=*Apply*
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# The drag source the driver drops files with, as the X desktop would.
export VARNHOLT_DROP_SOURCE=$here/drop-from-x11.py
exec bash "$here/../../scripts/wine-session.sh" bash -c \
    'wine "$1" "$(winepath -w "$2")" "$(winepath -w "$3")" "${@:4}"' driver "$@"
