#!/bin/sh
# Draws the launcher's icons: a rounded tile with a launch arrow and a bar,
# in a few colour schemes, written as one-image .ico files at the size and
# colour depth each icon group needs. Needs ImageMagick (convert) and icoutils
# (icotool). The .ico files are committed; run this only to redraw them.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# draw SIZE TILE ARROW BAR OUT.png: the motif at SIZE x SIZE pixels.
draw() {
  size=$1 tile=$2 arrow=$3 bar=$4 out=$5
  convert -size 64x64 xc:none \
    -fill "$tile" -draw 'roundrectangle 2,2 61,61 12,12' \
    -fill "$arrow" -draw 'polygon 26,16 50,32 26,48' \
    -fill "$bar" -draw 'rectangle 14,16 20,48' \
    -filter Box -resize "${size}x${size}!" "$out"
}

# icon GROUP SIZE BITS TILE ARROW BAR: writes icon-GROUP.ico.
icon() {
  group=$1 size=$2 bits=$3
  draw "$size" "$4" "$5" "$6" "$work/$group.png"
  case $bits in
    4) convert "$work/$group.png" -channel A -threshold 50% +channel -colors 15 "PNG8:$work/$group-q.png" ;;
    8) convert "$work/$group.png" -channel A -threshold 50% +channel -colors 255 "PNG8:$work/$group-q.png" ;;
    24) convert "$work/$group.png" -channel A -threshold 50% +channel "PNG32:$work/$group-q.png" ;;
  esac
  icotool -c -b "$bits" "$work/$group-q.png" -o "icon-$group.ico"
}

icon 101 64 8 '#1f5f8b' white '#f2a900'
icon 102 32 8 '#1f5f8b' white '#f2a900'
icon 103 32 8 '#2e7d32' white '#f2a900'
icon 104 32 4 navy white yellow
icon 105 32 4 teal white yellow
icon 106 32 4 maroon white yellow
icon 107 32 4 purple white yellow
icon 108 32 4 green white yellow
icon 111 32 24 '#37474f' '#eceff1' '#ff7043'
icon 112 32 4 gray white yellow
icon 113 17 8 '#1f5f8b' white '#f2a900'
