#!/usr/bin/env bash
# Builds the browser edition: build/web/varnholt.html, one file that opens with a
# double-click and needs nothing else. Installs what the build needs first.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh --web
# The Closure Compiler, which minifies the module's JavaScript, comes from npm.
if [[ ! -x web/tools/node_modules/.bin/google-closure-compiler ]]; then
    (cd web/tools && npm ci --no-audit --no-fund)
fi
cmake --preset web >/dev/null
cmake --build --preset web -j"$(nproc)"
echo "Built $(pwd)/build/web/varnholt.html"
