#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its SVG into data/icons/hicolor (checked in,
# so that a build needs no SVG renderer). Run after changing the SVG; needs rsvg-convert
# (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../data/icons/hicolor"
id=nl.veltrano.Veltrano
for size in 16 22 24 32 48 64 128 256 512; do
    mkdir -p "${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" "scalable/apps/$id.svg" -o "${size}x${size}/apps/$id.png"
done
