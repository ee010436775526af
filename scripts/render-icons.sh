#!/usr/bin/env bash
# Renders the program's icon from resources/icons/tomekeep.svg into the PNG sizes desktops
# look for. The PNGs are checked in; run this after changing the SVG (needs ImageMagick).
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
for size in 16 22 24 32 48 64 128 256; do
    convert -background none -density 1536 tomekeep.svg -resize "${size}x${size}" \
        -depth 8 -strip "PNG32:tomekeep-${size}.png"
done
