#!/usr/bin/env bash
# Renders the toolbar button images into data/toolbar/ with ImageMagick (convert):
#
#   data/toolbar/<key>.png     32 x 32   <- tools/datagen/toolbar/<key>.mvg
#   data/toolbar/<key>@2x.png  64 x 64   (Qt picks the "@2x" file on high-DPI screens)
#
# for the keys new, open, save, cut, copy, paste, privew (print preview) and print.
#
# Each drawing is an MVG file on a 64 x 64 grid. It is drawn eight times larger
# than the target size and averaged down (box filter), which gives smooth curves
# while straight edges placed on the pixel grid stay sharp. Date chunks are left
# out so that a re-run gives the same files. The PNGs are kept in the repository,
# so building the program needs no ImageMagick.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
src="$here/toolbar"
out="$root/data/toolbar"
mkdir -p "$out"

command -v convert > /dev/null || { echo "make-toolbar-icons: ImageMagick 'convert' not found" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

keys=(new open save cut copy paste privew print)

# MVG text without its comment lines, for -draw.
mvg() { sed -e 's/\r$//' -e '/^[[:space:]]*#/d' "$src/$1.mvg"; }

png_opts=(-strip -depth 8 -define png:exclude-chunks=date,time -define png:color-type=6)

# render <key> <size> <out.png>: the 64-unit drawing at <size> pixels.
# ImageMagick puts pixel centres on whole coordinates; the half-pixel shift
# makes a drawing unit boundary coincide with a pixel boundary.
render() {
    local big=$(( $2 * 8 )) factor=$(( $2 * 8 / 64 ))
    convert -size "${big}x${big}" xc:none -draw "translate -0.5,-0.5 scale $factor,$factor $(mvg "$1")" \
        -filter Box -resize "$2x$2" "${png_opts[@]}" "$3"
}

for key in "${keys[@]}"; do
    render "$key" 32 "$tmp/$key.png"
    render "$key" 64 "$tmp/$key@2x.png"
done
for key in "${keys[@]}"; do
    mv -f "$tmp/$key.png" "$out/$key.png"
    mv -f "$tmp/$key@2x.png" "$out/$key@2x.png"
done

echo "make-toolbar-icons: wrote ${#keys[@]} images (32 and 64 pixels) to data/toolbar/"
