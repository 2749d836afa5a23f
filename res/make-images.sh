#!/usr/bin/env bash
# Makes every picture the programs use from the sources in res/, and is run by
# hand after a source changes; its outputs are committed, so builds need no
# image tools. Needs rsvg-convert (librsvg2-bin), ImageMagick and python3.
#
#   varnholt.svg         -> icons/varnholt-N.png  (the hicolor theme sizes; the
#                           Qt window icon takes them from there)
#                        -> varnholt.ico          (16, 32, 48 and 256 pixels)
#   refresh_pictures.py  -> REFRESHU/D/F/X.bmp    (20 x 23, 16 colours)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

for tool in rsvg-convert convert python3; do
    command -v "$tool" >/dev/null || { echo "make-images.sh needs $tool" >&2; exit 1; }
done

mkdir -p icons
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" varnholt.svg --output "icons/varnholt-$size.png"
done

# The 256-pixel entry is stored PNG-compressed, as Windows expects; the small
# ones as bitmaps. -strip keeps dates out, so a rerun changes nothing.
convert icons/varnholt-16.png icons/varnholt-32.png icons/varnholt-48.png icons/varnholt-256.png \
    -strip varnholt.ico

python3 refresh_pictures.py .
