#!/usr/bin/env bash
# Installs the Debian packages Varnholt builds and tests with, if any is missing.
# Usage: scripts/install-deps.sh [--fuzz]   (--fuzz adds clang and its fuzzing runtime)
set -euo pipefail

packages=(build-essential cmake libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
          nlohmann-json3-dev python3)
# The window program varnholt (Qt 6 Widgets), its offscreen tests (a font to
# draw text with), and its Debian package and the check of it.
packages+=(qt6-base-dev fonts-dejavu-core dpkg-dev file desktop-file-utils appstream
           shared-mime-info)
if [[ "${1:-}" == "--fuzz" ]]; then
    packages+=(clang libclang-rt-dev)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [[ ${#missing[@]} -eq 0 ]]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
