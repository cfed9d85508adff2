#!/usr/bin/env bash
# Regenerates every picture in this folder from its SVG source.
#
#   bash data/artwork/make-artwork.sh
#
# Needs rsvg-convert (Debian: librsvg2-bin), ImageMagick's convert and the
# fonts the pictures are lettered with (Debian: fonts-allerta for the
# stencil face, fonts-bebas-neue, fonts-dejavu-core). The outputs are
# committed, so this only has to be run after changing an SVG.
#
# Sources and outputs:
#   banner0..3.svg        -> banner0..3.jpg      668x65  main window banners
#   options-banner.svg    -> options-banner.jpg  249x37  Options window banner
#   credits1..2.svg       -> credits1..2.jpg     249x249 credits pictures
#   icon-*.svg            -> icon-*.png          16x16   pixel icons
#   korvane.svg           -> korvane-256.png, korvane-48.png (application icon)
#   korvane-16.svg        -> korvane-16.png      the icon redrawn pixel by pixel for 16x16
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

for tool in rsvg-convert convert; do
    command -v "$tool" >/dev/null || { echo "make-artwork: $tool not found (apt-get install librsvg2-bin imagemagick)" >&2; exit 1; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Render with a private font set so that the family names used in the SVGs
# ("Allerta", "Bebas Neue", "DejaVu Sans Mono") resolve to exactly these files,
# whatever else is installed. The Allerta family also has a non-stencil face,
# which is deliberately left out.
fonts=(
    /usr/share/fonts/opentype/allerta/allerta_stencil.otf
    /usr/share/fonts/opentype/bebas-neue/BebasNeue-Bold.otf
    /usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf
    /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
)
mkdir "$tmp/fonts"
for f in "${fonts[@]}"; do
    [[ -f $f ]] || { echo "make-artwork: missing font $f (apt-get install fonts-allerta fonts-bebas-neue fonts-dejavu-core)" >&2; exit 1; }
    ln -s "$f" "$tmp/fonts/"
done
cat >"$tmp/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>$tmp/fonts</dir>
  <cachedir>$tmp/cache</cachedir>
</fontconfig>
CONF
export FONTCONFIG_FILE="$tmp/fonts.conf"

# svg width height output.png
png() {
    rsvg-convert -w "$2" -h "$3" "$1" -o "$tmp/render.png"
    convert "$tmp/render.png" -strip -define png:exclude-chunks=date,time "$4"
}

# svg width height output.jpg
jpg() {
    rsvg-convert -w "$2" -h "$3" -b white "$1" -o "$tmp/render.png"
    convert "$tmp/render.png" -strip -background white -alpha remove \
        -sampling-factor 4:4:4 -quality 90 "$4"
}

for i in 0 1 2 3; do
    jpg "banner$i.svg" 668 65 "banner$i.jpg"
done
jpg options-banner.svg 249 37 options-banner.jpg
jpg credits1.svg 249 249 credits1.jpg
jpg credits2.svg 249 249 credits2.jpg

for icon in warning grin sad thumbsdown medal sunglasses; do
    png "icon-$icon.svg" 16 16 "icon-$icon.png"
done

png korvane.svg 256 256 korvane-256.png
png korvane.svg 48 48 korvane-48.png
png korvane-16.svg 16 16 korvane-16.png

identify -format '%f %wx%h %b\n' banner?.jpg options-banner.jpg credits?.jpg icon-*.png korvane-*.png
