#!/usr/bin/env bash
# Runs a command inside a private Wine session and removes the session after:
# a fresh Wine prefix in a temporary folder, a virtual X display of its own
# (Xvfb picks a free number), and Wine drawing window frames itself (no window
# manager is needed, and closing a window does not stall).
# Usage: wine-session.sh COMMAND [ARG...]
# COMMAND sees WINEPREFIX, DISPLAY, WINEDEBUG, WINEDLLOVERRIDES and
# VARNHOLT_SESSION (the session's temporary folder, for its own files).
# The exit status is COMMAND's.
set -euo pipefail

if [[ $# -eq 0 ]]; then
    echo "usage: $0 COMMAND [ARG...]" >&2
    exit 2
fi
for tool in wine wineboot wineserver Xvfb; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is missing: run scripts/install-deps.sh --windows" >&2
        exit 2
    fi
done

session=$(mktemp -d "${TMPDIR:-/tmp}/varnholt-wine.XXXXXX")
export VARNHOLT_SESSION=$session
export WINEPREFIX=$session/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=""
cleanup() {
    wineserver -k 2>/dev/null || true # this prefix's processes only
    if [[ -n "$xvfb_pid" ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$session"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# -displayfd: Xvfb writes the display number it chose once it is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$session/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 200); do
    [[ -s "$session/display" ]] && break
    sleep 0.05
done
if [[ ! -s "$session/display" ]]; then
    echo "Xvfb did not start" >&2
    exit 1
fi
export DISPLAY=":$(cat "$session/display")"

wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1

status=0
"$@" || status=$?
exit "$status"
