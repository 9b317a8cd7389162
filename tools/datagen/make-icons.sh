#!/usr/bin/env bash
# Renders the program's icons into data/ with ImageMagick (convert):
#
#   data/qhsy.png  256 x 256 program icon        <- tools/datagen/qhsy.mvg
#   data/r.png     256 x 256 comment-file icon   <- tools/datagen/r.mvg
#   data/r.ico     comment-file icon, 256/48/32/16 pixels
#                  (256, 48 and 32 from r.mvg, 16 from the pixel drawing r16.mvg)
#
# data/qhsy.svg and data/r.svg hold the same pictures as vector files. They are
# not rendered here: not every ImageMagick build can read SVG, and the MVG
# drawings give the same bytes on every machine. The generated PNG and ICO
# files are kept in the repository, so building the program needs no ImageMagick.
#
# The large images are drawn at four times their size and scaled down, which
# gives smooth edges. Date chunks are left out so that a re-run gives the
# same files.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
out="$root/data"
mkdir -p "$out"

command -v convert > /dev/null || { echo "make-icons: ImageMagick 'convert' not found" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# MVG text without its comment lines, for -draw.
mvg() { sed -e 's/\r$//' -e '/^[[:space:]]*#/d' "$here/$1"; }

png_opts=(-strip -depth 8 -define png:exclude-chunks=date,time -define png:color-type=6)

# render <mvg> <size> <out.png>: smooth drawing of a 256-unit picture at <size> pixels.
render() {
    convert -size 1024x1024 xc:none -draw "scale 4,4 $(mvg "$1")" \
        -filter Lanczos -resize "$2x$2" "${png_opts[@]}" "$3"
}

render qhsy.mvg 256 "$tmp/qhsy.png"
render r.mvg 256 "$tmp/r-256.png"
render r.mvg 48 "$tmp/r-48.png"
render r.mvg 32 "$tmp/r-32.png"
convert -size 16x16 xc:none +antialias -draw "$(mvg r16.mvg)" "${png_opts[@]}" "$tmp/r-16.png"

convert "$tmp/r-256.png" "$tmp/r-48.png" "$tmp/r-32.png" "$tmp/r-16.png" "$tmp/r.ico"

mv -f "$tmp/qhsy.png" "$out/qhsy.png"
mv -f "$tmp/r-256.png" "$out/r.png"
mv -f "$tmp/r.ico" "$out/r.ico"

echo "make-icons: wrote data/qhsy.png, data/r.png, data/r.ico"
