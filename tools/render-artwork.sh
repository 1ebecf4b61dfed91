#!/usr/bin/env bash
# Renders the SVG artwork in resources/artwork/ into the PNG and ICO files in
# resources/pictures/ that the program and the installer use. The rendered files
# are kept in git, so a normal build never needs this script; run it after
# editing any of the SVGs.
#
#   tick.png, cross.png      the answer marks, 70x70 RGBA on a transparent
#                            background, with @1.5x (105) and @2x (140)
#                            versions for scaled screens
#   icon-16/32/48/256.png    RGBA with transparent background (window and
#                            hicolor theme icons)
#   zorbanu.ico              Windows icon: 16, 32 and 48 px, each in 16 and in
#                            256 colours, with transparency mask
#
# Needs rsvg-convert (librsvg2-bin) and ImageMagick 6 (imagemagick).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
art="$root/resources/artwork"
out="$root/resources/pictures"

die() {
  echo "render-artwork: $*" >&2
  exit 1
}

for tool in rsvg-convert convert identify; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    case "$tool" in
      rsvg-convert) pkg=librsvg2-bin ;;
      *) pkg=imagemagick ;;
    esac
    die "'$tool' was not found; install it with: apt-get install $pkg"
  fi
done

for f in tick.svg cross.svg icon.svg icon-16.svg; do
  [ -f "$art/$f" ] || die "missing source picture $art/$f"
done

mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Keep the PNGs byte-stable between runs: no timestamps or other text chunks.
stable=(-strip -define png:exclude-chunks=date,time)

# --- answer marks ------------------------------------------------------------
marks=()
for mark in tick cross; do
  for scale in 1:70 1.5:105 2:140; do
    suffix=${scale%%:*}; size=${scale##*:}
    name=$mark.png; [ "$suffix" = 1 ] || name=$mark@${suffix}x.png
    rsvg-convert -w "$size" -h "$size" "$art/$mark.svg" -o "$tmp/$name"
    convert "$tmp/$name" "${stable[@]}" "PNG32:$out/$name"
    marks+=("$name")
  done
done

# --- program icon ------------------------------------------------------------
rsvg-convert -w 16 -h 16 "$art/icon-16.svg" -o "$tmp/icon-16.png"
for size in 32 48 256; do
  rsvg-convert -w "$size" -h "$size" "$art/icon.svg" -o "$tmp/icon-$size.png"
done
for size in 16 32 48 256; do
  convert "$tmp/icon-$size.png" "${stable[@]}" "PNG32:$out/icon-$size.png"
done

# --- Windows icon --------------------------------------------------------------
# ICO transparency is a 1-bit mask, so make alpha all-or-nothing and paint the
# hidden pixels black, as Windows expects under a mask.
for size in 16 32 48; do
  convert "$tmp/icon-$size.png" -channel A -threshold 50% +channel \
    -background black -alpha background "$tmp/mask-$size.png"
done

# 16-colour palette: transparent plus the icon's own colours, so the small
# versions keep their beige, cyan and lamp colours instead of a generic set.
convert xc:none \
  xc:'#3b3326' xc:'#6e6350' xc:'#8a7d62' xc:'#cfc29c' xc:'#e2d7b4' \
  xc:'#e9e0c2' xc:'#efe7cb' xc:'#f5eed6' \
  xc:'#00c2e8' xc:'#00dcf4' xc:'#00f0ff' xc:'#7ffcff' xc:'#b0fdff' \
  xc:'#1fb81f' xc:'#e0a010' \
  +append +repage "$tmp/palette-16.png"

# 256-colour palette: the colours of all three sizes together. Every entry
# stays in the colour map after -remap, which makes the ICO writer store these
# images with 8 bits per pixel even where one size uses fewer colours.
convert "$tmp/mask-16.png" "$tmp/mask-32.png" "$tmp/mask-48.png" \
  +append +repage +dither -colors 256 -unique-colors "$tmp/palette-256.png"
palette_colours=$(identify -format '%w' "$tmp/palette-256.png")
[ "$palette_colours" -gt 16 ] ||
  die "the icon has only $palette_colours colours; its 256-colour versions would be stored as 16-colour"

convert \
  \( "$tmp/mask-16.png" +dither -remap "$tmp/palette-16.png" \) \
  \( "$tmp/mask-32.png" +dither -remap "$tmp/palette-16.png" \) \
  \( "$tmp/mask-48.png" +dither -remap "$tmp/palette-16.png" \) \
  \( "$tmp/mask-16.png" +dither -remap "$tmp/palette-256.png" \) \
  \( "$tmp/mask-32.png" +dither -remap "$tmp/palette-256.png" \) \
  \( "$tmp/mask-48.png" +dither -remap "$tmp/palette-256.png" \) \
  "ICO:$out/zorbanu.ico"

# --- checks ------------------------------------------------------------------
for name in "${marks[@]}"; do
  alpha=$(convert "$out/$name" -format '%[fx:p{0,0}.a]' info:)
  [ "$alpha" = 0 ] || die "$name has a background; only the mark may show"
done

layout=$(identify -format '%wx%h/%z ' "$out/zorbanu.ico")
[ "$layout" = "16x16/4 32x32/4 48x48/4 16x16/8 32x32/8 48x48/8 " ] ||
  die "zorbanu.ico has the wrong images: $layout"

echo "render-artwork: wrote ${marks[*]} $(cd "$out" && echo icon-{16,32,48,256}.png zorbanu.ico) in $out"
