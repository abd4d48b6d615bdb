#!/usr/bin/env bash
# Renders the program's icon (resources/icons/ionveto.svg) to the PNG sizes the
# desktop's icon theme asks for. The PNGs are committed, so a build needs no
# SVG renderer; run this again after changing the drawing (needs rsvg-convert,
# Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" ionveto.svg -o "ionveto-$size.png"
done
ls -l ionveto-*.png
# The Windows icon (in the .exe files and the installer): all sizes in one file
# (needs ImageMagick's convert).
convert ionveto-16.png ionveto-24.png ionveto-32.png ionveto-48.png ionveto-64.png \
        ionveto-128.png ionveto-256.png ionveto.ico
ls -l ionveto.ico
