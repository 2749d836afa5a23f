#!/usr/bin/env bash
# Renders docs/screenshots/linux-*.png (the editor with a loaded save, the About
# box, and the editor in German) offscreen with the default build; no display
# is needed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

cmake --preset default >/dev/null
cmake --build --preset default -j2 --target varnholt_screenshots
mkdir -p docs/screenshots
XDG_RUNTIME_DIR=$(mktemp -d) build/default/tools/screenshots/varnholt_screenshots \
    examples/early-base-1.2.sav docs/screenshots
XDG_RUNTIME_DIR=$(mktemp -d) build/default/tools/screenshots/varnholt_screenshots \
    examples/early-base-1.2.sav docs/screenshots de
ls -l docs/screenshots/linux-*.png
