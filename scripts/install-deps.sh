#!/usr/bin/env bash
# Installs the Debian packages Varnholt builds and tests with, if any is missing.
# gettext: msgfmt builds the translations into the programs.
# Usage: scripts/install-deps.sh [--fuzz] [--windows] [--web]
#   --fuzz     adds clang and its fuzzing runtime
#   --windows  adds the mingw-w64 cross compiler, and Wine, Xvfb and the X tools the
#              Windows build's tests and screenshots run with (python3-xlib: the
#              end-to-end test drops files on the window as the X desktop does)
#   --web      adds Emscripten (and acorn, which its JavaScript optimiser needs) for
#              the browser edition, and Chromium, its driver and Selenium, which
#              its end-to-end run drives, and polib, with which it reads the catalogues;
#              Firefox ESR, and WebKitGTK's WebDriver and MiniBrowser (on an Xvfb display),
#              the other two engines the page is tested in (axe-core, and puppeteer-core
#              that drives Firefox, come from npm: PUPPETEER_SKIP_DOWNLOAD=1 npm ci in tests/web)
set -euo pipefail

packages=(build-essential cmake libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
          nlohmann-json3-dev python3 gettext clang-format)
# The window program varnholt (Qt 6 Widgets), its offscreen tests (a font to
# draw text with, Qt's own translations), and its Debian package and the check of it
# (xdg-utils and libfile-mimeinfo-perl: the file types a desktop would see).
packages+=(qt6-base-dev qt6-translations-l10n fonts-dejavu-core dpkg-dev file desktop-file-utils appstream
           shared-mime-info xdg-utils libfile-mimeinfo-perl)
# Its window walked as a screen reader walks it: an X display, a private session
# bus, the AT-SPI buses and their Python client.
packages+=(xvfb dbus-daemon dbus-bin at-spi2-core python3-pyatspi)
for option in "$@"; do
    case "$option" in
    --fuzz) packages+=(clang libclang-rt-dev) ;;
    --windows)
        packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb xdotool
                   x11-utils imagemagick fonts-dejavu-core python3-xlib)
        ;;
    --web)
        packages+=(emscripten node-acorn chromium chromium-driver python3-selenium python3-polib firefox-esr
                   webkit2gtk-driver libwebkit2gtk-4.1-0 xvfb)
        ;;
    esac
done

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
