#!/usr/bin/env bash
# Builds the two Debian packages in a scratch build (installing under /usr)
# and checks their metadata and contents with dpkg-deb, without installing.
# Usage: package_test.sh SOURCE_DIR WORK_DIR
set -euo pipefail
source=$1
work=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake -S "$source" -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DZORBANU_BUILD_TESTS=OFF >/dev/null
cmake --build "$work" >/dev/null
rm -f "$work"/*.deb
(cd "$work" && cpack >/dev/null)

program=$(ls "$work"/zorbanu_*.deb)
voice=$(ls "$work"/zorbanu-voice-cmn_*.deb)
field() { dpkg-deb -f "$1" "$2"; }

[ "$(field "$program" Package)" = zorbanu ] || fail "program package name"
[ "$(field "$program" Version)" = 2.00 ] || fail "program version"
depends=$(field "$program" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libsdl2-2.0-0 fonts-arphic-uming fonts-arphic-ukai; do
  grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
[ "$(field "$program" Recommends)" = zorbanu-voice-cmn ] || fail "program should recommend the voice pack"
[ "$(field "$voice" Architecture)" = all ] || fail "the voice pack is architecture-independent"

contents=$(dpkg-deb -c "$program")
for path in ./usr/bin/zorbanu ./usr/share/applications/org.zorbanu.Zorbanu.desktop \
            ./usr/share/metainfo/org.zorbanu.Zorbanu.metainfo.xml \
            ./usr/share/icons/hicolor/48x48/apps/org.zorbanu.Zorbanu.png; do
  grep -q " $path\$" <<<"$contents" || fail "program package lacks $path"
done
if grep -q '\.wav$' <<<"$contents"; then fail "clips belong in the voice package"; fi

voice_contents=$(dpkg-deb -c "$voice")
[ "$(grep -c '/usr/share/zorbanu/clips/.*\.wav$' <<<"$voice_contents")" = 19 ] || fail "voice package should hold 19 clips"
extract=$(mktemp -d)
trap 'rm -rf "$extract"' EXIT
dpkg-deb -x "$program" "$extract"
grep -qx 'Path=/usr/share/zorbanu/clips' "$extract/usr/share/applications/org.zorbanu.Zorbanu.desktop" \
  || fail "menu entry does not start in the packaged clip folder"
echo "packages: ok ($(basename "$program"), $(basename "$voice"))"
