#!/usr/bin/env bash
# Renders the SVG artwork in resources/artwork/ into the PNG files in
# resources/pictures/ that the program and the installer use. The rendered files
# are kept in git, so a normal build never needs this script; run it after
# editing any of the SVGs.
#
#   tick.png, cross.png      the answer marks, 70x70 RGBA on a transparent
#                            background, with @1.5x (105) and @2x (140)
#                            versions for scaled screens
#   icon-16/32/48/256.png    RGBA with transparent background (window and
#                            hicolor theme icons)
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

for tool in rsvg-convert convert; do
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

# --- checks ------------------------------------------------------------------
for name in "${marks[@]}"; do
  alpha=$(convert "$out/$name" -format '%[fx:p{0,0}.a]' info:)
  [ "$alpha" = 0 ] || die "$name has a background; only the mark may show"
done

echo "render-artwork: wrote ${marks[*]} $(cd "$out" && echo icon-{16,32,48,256}.png) in $out"
