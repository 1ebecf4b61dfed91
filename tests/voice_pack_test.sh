#!/usr/bin/env bash
# The voice pack: 19 clips in one format, no filler clips, nothing silent;
# and without espeak-ng the script says so and leaves nothing behind.
# Usage: voice_pack_test.sh SOURCE_DIR PACK_DIR
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$2/.complete" ] && [ "$(ls "$2"/*.wav | wc -l)" = 19 ] || fail "no finished pack of 19 clips"
[ ! -e "$2/nul.wav" ] && [ ! -e "$2/a.wav" ] || fail "filler clips must be left out"
for clip in "$2"/*.wav; do
  [ "$(soxi -r "$clip") $(soxi -c "$clip") $(soxi -b "$clip") $(soxi -e "$clip")" = "22050 1 16 Signed Integer PCM" ] \
    || fail "$clip is not 22050 Hz mono 16-bit"
  stats="$(soxi -D "$clip") $(sox "$clip" -n stats 2>&1 | sed -n 's/^RMS lev dB *//p')"
  awk -v s="$stats" 'BEGIN { split(s, v); exit !(v[1] > 0.1 && v[1] < 1.5 && v[2] > -30) }' \
    || fail "$clip: length and RMS $stats"
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
for tool in /usr/bin/* /bin/*; do
  [ "${tool##*/}" = espeak-ng ] || ln -sf "$tool" "$work/bin/"
done
! PATH=$work/bin bash "$1/tools/make-voice-pack.sh" "$work/pack" 2>"$work/err" || fail "made a pack without espeak-ng"
grep -q espeak-ng "$work/err" && [ "$(ls -A "$work" | tr '\n' ' ')" = "bin err " ] \
  || fail "no clear message, or a partial pack: $(ls -A "$work"; cat "$work/err")"
echo "voice pack: ok"
