#!/bin/sh
# Draws the example application's icon, viewer.ico: a page with a lens over
# it, at 16, 32 and 48 pixels as 32-bit bitmaps and at 256 as PNG, as Windows
# wants an application's icon. Needs ImageMagick (convert) and icoutils
# (icotool). viewer.ico is committed; run this only to redraw it.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 256x256 xc:none \
  -fill '#f5f5f0' -stroke '#5d6d7e' -strokewidth 8 -draw 'roundrectangle 40,16 200,240 16,16' \
  -stroke '#aab7b8' -strokewidth 10 \
  -draw 'line 72,72 168,72' -draw 'line 72,104 168,104' -draw 'line 72,136 128,136' \
  -fill '#d6eaf8' -stroke '#1f618d' -strokewidth 18 -draw 'circle 150,160 150,214' \
  -stroke '#1f618d' -strokewidth 30 -draw 'line 190,200 236,246' \
  -depth 8 "PNG32:$work/256.png"
for size in 16 32 48; do
  convert "$work/256.png" -resize "${size}x${size}" "PNG32:$work/$size.png"
done
icotool -c -o viewer.ico "$work/16.png" "$work/32.png" "$work/48.png" -r "$work/256.png"
icotool -l viewer.ico
