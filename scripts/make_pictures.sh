#!/usr/bin/env bash
# Remakes the committed pictures of resources/: the three JPEG pictures of the
# about box and the program's icons in the hicolor sizes. The build does not
# run this; it only reads the committed files. Run it after changing one of the
# SVG sources, then look at the results and commit them.
#
# Tools (Debian packages, needed here only): librsvg2-bin (rsvg-convert),
# imagemagick (PNG to JPEG), qrencode (the bar code), zbar-tools (reads the
# bar code back as a check), fonts-dejavu-core and fonts-wqy-zenhei (the texts).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
res="$root/resources"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Debian's ImageMagick 6 under its versioned name, so that no other program
# called "convert" earlier on the PATH is taken instead.
convert=convert-im6.q16
command -v "$convert" >/dev/null || convert=convert

to_jpeg() {  # PNG, JPEG: no alpha channel, no metadata, baseline, 4:4:4 chroma
  "$convert" "$1" -background '#f0f0f0' -alpha remove -alpha off -strip \
    -sampling-factor 1x1 -quality 92 "$2"
}

rsvg-convert -w 66 -h 46 "$res/pictures/about_logo.svg" -o "$work/logo.png"
to_jpeg "$work/logo.png" "$res/about_logo.jpg"

rsvg-convert -w 188 -h 18 "$res/pictures/about_banner.svg" -o "$work/banner.png"
to_jpeg "$work/banner.png" "$res/about_banner.jpg"

# The home page address as a QR code: version 2 (25 modules) at error level M,
# 3 pixels a module and a quiet zone of 5 modules give 105 x 105 pixels.
home="https://brivano.example/"
qrencode -l M -s 3 -m 5 -o "$work/barcode.png" "$home"
to_jpeg "$work/barcode.png" "$res/about_barcode.jpg"
size="$("$convert" "$res/about_barcode.jpg" -format "%wx%h" info:)"
[ "$size" = "105x105" ] || { echo "bar code is $size, not 105x105" >&2; exit 1; }
decoded="$(zbarimg --quiet --raw "$res/about_barcode.jpg")"
[ "$decoded" = "$home" ] || { echo "bar code reads \"$decoded\"" >&2; exit 1; }

icons="$res/icons/hicolor"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "$icons/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" "$icons/scalable/apps/brivano.svg" \
    -o "$work/icon.png"
  # Without the time stamps a remake of an unchanged icon gives the same bytes.
  "$convert" "$work/icon.png" -strip -define png:exclude-chunks=date,time \
    "$icons/${size}x${size}/apps/brivano.png"
done
echo "pictures made in $res"
