#!/usr/bin/env bash
# The voice pack: 19 clips in one format, no filler clips, nothing silent,
# and made again they are the same bytes.
# Usage: voice_pack_test.sh LIST PACK_DIR (LIST: what the pack is made of)
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
list=$1; shift
[ -f "$1/.complete" ] && [ "$(ls "$1"/*.wav | wc -l)" = 19 ] || fail "no finished pack of 19 clips"
[ ! -e "$1/nul.wav" ] && [ ! -e "$1/a.wav" ] || fail "filler clips must be left out"
for clip in "$1"/*.wav; do
  [ "$(soxi -r "$clip") $(soxi -c "$clip") $(soxi -b "$clip") $(soxi -e "$clip")" = "22050 1 16 Signed Integer PCM" ] \
    || fail "$clip is not 22050 Hz mono 16-bit"
  stats="$(soxi -D "$clip") $(sox "$clip" -n stats 2>&1 | sed -n 's/^RMS lev dB *//p')"
  awk -v s="$stats" 'BEGIN { split(s, v); exit !(v[1] > 0.1 && v[1] < 1.5 && v[2] > -30) }' \
    || fail "$clip: length and RMS $stats"
done
again=$(mktemp -d) && trap 'rm -rf "$again"' EXIT
bash "$(dirname "$0")/../tools/make-voice-pack.sh" "$list" "$again/pack"
for clip in "$1"/*.wav; do cmp "$clip" "$again/pack/${clip##*/}" || fail "$clip differs when made again"; done
echo "voice pack: ok"
