#!/bin/sh
# Renders the window icon from quillmark.svg: PNGs at 16, 32 and 48 pixels, the same pixels as raw RGBA for the
# running window (read without an image decoder), and quillmark.ico holding each size twice, at 256 colours and
# at 32-bit colour. Needs rsvg-convert (librsvg2-bin), ImageMagick and python3; the results are kept in the
# repository so a build needs none of them.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
set --
for size in 16 32 48; do
    rsvg-convert -w "$size" -h "$size" quillmark.svg -o "quillmark-$size.png"
    convert "quillmark-$size.png" "RGBA:quillmark-$size.rgba"
    cp "quillmark-$size.rgba" "$tmp/true-$size.rgba"
    # 255 colours and 1-bit transparency, as a 256-colour icon image holds them.
    convert "quillmark-$size.png" -channel A -threshold 50% +channel -colors 255 "RGBA:$tmp/pal-$size.rgba"
    set -- "$@" "$size:$tmp/true-$size.rgba:$tmp/pal-$size.rgba"
done
python3 make-ico.py quillmark.ico "$@"
