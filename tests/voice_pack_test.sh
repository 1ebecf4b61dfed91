#!/usr/bin/env bash
# The voice pack (whose script checks each clip's format, length and level):
# 25 clips, no filler clips, each word's tones, quiet and loudness right
# (tools/voice-report.py, which prints its table), and made again they are
# the same bytes.
# Usage: voice_pack_test.sh LIST PACK_DIR (LIST: what the pack is made of)
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
list=$1; shift
[ -f "$1/.complete" ] && [ "$(ls "$1"/*.wav | wc -l)" = 25 ] || fail "no finished pack of 25 clips"
[ ! -e "$1/nul.wav" ] && [ ! -e "$1/a.wav" ] || fail "filler clips must be left out"
python3 "$(dirname "$0")/../tools/voice-report.py" "$list" "$1" --check || fail "tones, quiet or loudness wrong"
again=$(mktemp -d) && trap 'rm -rf "$again"' EXIT
bash "$(dirname "$0")/../tools/make-voice-pack.sh" "$list" "$again/pack"
for clip in "$1"/*.wav; do cmp "$clip" "$again/pack/${clip##*/}" || fail "$clip differs when made again"; done
echo "voice pack: ok"
