#!/usr/bin/env bash
# Checks that every include follows the layers' arrows, builds everything with
# the default preset and runs every test suite.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
bash scripts/check-includes.sh
cmake --preset default
cmake --build --preset default -j"$(nproc)"
ctest --preset default -j"$(nproc)"
