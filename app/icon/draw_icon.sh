#!/usr/bin/env bash
# Draws the program's icon, skarnel.ico beside this script: the demo's
# evening sea (a sun over two waves) in a framed picture, at 48, 32 and 16
# pixels. Run again only to change the drawing; the .ico is committed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One drawing at 48x48; the smaller sizes are scaled from it.
convert -size 48x48 xc:none \
  -fill '#202838' -stroke '#101018' -strokewidth 2 -draw 'roundrectangle 2,4 45,43 5,5' \
  -stroke none -fill '#000010' -draw 'rectangle 5,7 42,40' \
  -fill '#f8b800' -draw 'circle 33,16 33,22' \
  -fill '#f8f070' -draw 'circle 33,16 33,19' \
  -fill '#30d0f0' -draw 'polygon 5,28 11,24 17,27 23,24 29,27 35,24 42,27 42,40 5,40' \
  -fill '#1838c0' -draw 'polygon 5,32 11,29 17,32 23,29 29,32 35,29 42,32 42,40 5,40' \
  -fill '#081878' -draw 'rectangle 5,36 42,40' \
  "$work/48.png"
convert "$work/48.png" -filter point -resize 32x32 "$work/32.png"
convert "$work/48.png" -resize 16x16 "$work/16.png"
convert "$work/48.png" "$work/32.png" "$work/16.png" "$here/skarnel.ico"
