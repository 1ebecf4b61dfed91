#!/usr/bin/env bash
# Installs the build into a scratch folder and checks what a desktop needs:
# the program, the menu entry (starting in the voice pack's folder), the
# AppStream metadata, the theme icons and the clips.
# Usage: install_test.sh BUILD_DIR CLIP_DIR
set -euo pipefail
build=$1
clip_dir=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$root cmake --install "$build" >/dev/null
prefix=$root$(cmake -L -N "$build" | sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p')
share=$prefix/share

[ -x "$prefix/bin/zorbanu" ] || fail "no program in bin"
desktop=$share/applications/org.zorbanu.Zorbanu.desktop
metainfo=$share/metainfo/org.zorbanu.Zorbanu.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
appstreamcli validate --no-net "$metainfo" >/dev/null || { appstreamcli validate --no-net "$metainfo"; fail "metainfo does not validate"; }
grep -qx "Path=$clip_dir" "$desktop" || fail "menu entry does not start in $clip_dir"
grep -qx "Exec=zorbanu" "$desktop" || fail "menu entry does not start zorbanu"
grep -q '^Name\[zh_CN\]=' "$desktop" || fail "no Chinese name"
for size in 16 32 48 256; do
  icon=$share/icons/hicolor/${size}x${size}/apps/org.zorbanu.Zorbanu.png
  [ "$(identify -format '%wx%h' "$icon")" = "${size}x${size}" ] || fail "icon $size is missing or the wrong size"
done
[ -s "$share/icons/hicolor/scalable/apps/org.zorbanu.Zorbanu.svg" ] || fail "no scalable icon"

clips=$root$clip_dir
for name in 0 1 2 3 4 5 6 7 8 9 bai shi + - × ÷ = win won; do
  [ "$(soxi -t "$clips/$name.wav")" = wav ] || fail "clip $name.wav missing"
done
[ ! -e "$clips/.complete" ] || fail "the build stamp was installed"
echo "install layout: ok"
