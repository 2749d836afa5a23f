#!/usr/bin/env bash
# Starts the window program as a user with a screen reader would have it, with
# a saved game loaded, and walks its window through the AT-SPI bus
# (accessibility_tree.py says what it checks). Everything runs in a private
# session: its own X display (Xvfb), its own session bus and accessibility bus
# (at-spi-bus-launcher, which starts at-spi2-registryd), never the developer's.
# Qt 6 exposes its widgets on the xcb platform once org.a11y.Bus is on the
# session bus and either a screen reader is on or QT_LINUX_ACCESSIBILITY_ALWAYS_ON
# is set.
# Usage: check_accessibility_tree.sh VARNHOLT SAVE VALUES LANGUAGE [CATALOGUE.mo]
# VALUES: each list's item for SAVE in English, as accessibility_tree.py takes them.
set -euo pipefail
program=$1
save=$2
values=$3
language=$4
catalogue=${5:-}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
launcher=/usr/libexec/at-spi-bus-launcher
python=/usr/bin/python3

for tool in Xvfb dbus-daemon dbus-send "$launcher" "$python"; do
    command -v "$tool" >/dev/null ||
        { echo "FAIL: $tool is missing (scripts/install-deps.sh installs it)"; exit 1; }
done
"$python" -c 'import pyatspi' 2>/dev/null ||
    { echo "FAIL: pyatspi is missing (package python3-pyatspi)"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/varnholt-a11y.XXXXXX")
started=() # every process this script starts, in order

# The processes under `pid`, children first found before any is ended (an
# ended parent's children would be handed to init and lost from view).
descendants() {
    local child
    for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
        descendants "$child"
        echo "$child"
    done
}
cleanup() {
    local pids=() pid i
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        pid=${started[i]}
        mapfile -t -O "${#pids[@]}" pids < <(descendants "$pid")
        pids+=("$pid")
    done
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${started[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# waitFor SECONDS WHAT COMMAND...: until COMMAND succeeds.
waitFor() {
    local seconds=$1 what=$2 i
    shift 2
    for ((i = 0; i < seconds * 10; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "FAIL: $what within $seconds s"
    exit 1
}

# Nothing of the caller's session: no bus, display or accessibility bus.
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS DISPLAY WAYLAND_DISPLAY
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
mkdir -m 700 "$XDG_RUNTIME_DIR"

# -displayfd: Xvfb writes the display number it chose once it is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
started+=("$!")
waitFor 20 "Xvfb did not start" test -s "$work/display"
DISPLAY=":$(cat "$work/display")"
export DISPLAY

dbus-daemon --session --nofork --print-address=3 3>"$work/bus" 2>"$work/dbus.log" &
started+=("$!")
waitFor 20 "the session bus did not start" test -s "$work/bus"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS

bus() {
    dbus-send --session --print-reply "$@"
}
"$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
started+=("$!")
waitFor 20 "the accessibility bus did not start" \
    bus --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress

# A copy of the save, so that the program looks only into this session's folder.
cp "$save" "$work/"
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 VARNHOLT_LANGUAGE=$language \
    "$program" "$work/$(basename "$save")" >"$work/program.log" 2>&1 &
program_pid=$!
started+=("$program_pid")

status=0
timeout 90 "$python" "$here/accessibility_tree.py" "$program_pid" "$values" ${catalogue:+"$catalogue"} ||
    status=$?
if ! kill -0 "$program_pid" 2>/dev/null; then
    echo "FAIL: $program ended early"
    status=1
fi
if [[ $status -ne 0 && -s "$work/program.log" ]]; then
    echo "What the program said:"
    cat "$work/program.log"
fi
[[ $status -eq 124 ]] && echo "FAIL: the walk through the accessibility tree took over 90 s"
exit "$status"
