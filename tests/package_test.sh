#!/usr/bin/env bash
# Builds the Debian packages as `make package` does (dpkg-buildpackage on a
# copy of the tree, then lintian --pedantic, which also finds a missing
# manual page or copyright file and checks the menu entries), into WORK_DIR,
# and checks what they install. Usage: package_test.sh SOURCE_DIR WORK_DIR
set -euo pipefail
source=$1 work=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$work"
make -C "$source" package DEB_BUILD="$work" >"$work.log" 2>&1 || { tail -n 40 "$work.log"; fail "make package"; }

prog=$work/x/zorbanu voice=$work/x/voice
mkdir -p "$prog" "$voice"
dpkg-deb -x "$work"/zorbanu_*.deb "$prog"
dpkg-deb -x "$work"/zorbanu-voice-cmn_*_all.deb "$voice"

share=$prog/usr/share
appstreamcli validate --pedantic --no-net "$share/metainfo/org.zorbanu.Zorbanu.metainfo.xml" >/dev/null ||
  fail "metainfo does not validate"
ls "$share"/icons/hicolor/{16x16,32x32,48x48,256x256}/apps/org.zorbanu.Zorbanu.png >/dev/null || fail "icons"

clips=$voice/usr/share/zorbanu/clips
[ "$(find "$clips" -name '*.wav' | wc -l)" = 25 ] || fail "voice package should hold 25 clips"

mkdir -p "$work/empty" && cd "$work/empty"
XDG_DATA_HOME=$PWD XDG_DATA_DIRS=$voice/usr/share "$prog/usr/bin/zorbanu" --help | grep -qF "$clips" ||
  fail "--help does not name the installed voice"
# The packaged program starts and keeps running with no voice at all, and
# ends on SIGTERM (timeout's KILL after 5 s more would give 137).
rc=0
XDG_DATA_HOME=$PWD XDG_DATA_DIRS=$PWD QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
  timeout -k 5 3 "$prog/usr/bin/zorbanu" >/dev/null 2>&1 || rc=$?
[ "$rc" = 124 ] || fail "packaged program ended with $rc instead of running until SIGTERM"
echo "packages: ok"
