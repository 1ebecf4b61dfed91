#!/usr/bin/env bash
# The voice pack: one format, no filler clips, nothing silent; and the
# script refuses cleanly, leaving nothing behind, when a tool is missing.
# Usage: voice_pack_test.sh SOURCE_DIR PACK_DIR
set -euo pipefail
source=$1
pack=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -f "$pack/.complete" ] || fail "the build left no finished pack"
count=0
for clip in "$pack"/*.wav; do
  count=$((count + 1))
  [ "$(soxi -r "$clip") $(soxi -c "$clip") $(soxi -b "$clip") $(soxi -e "$clip")" = "22050 1 16 Signed Integer PCM" ] \
    || fail "$clip is not 22050 Hz mono 16-bit"
  rms=$(sox "$clip" -n stats 2>&1 | sed -n 's/^RMS lev dB *//p')
  awk -v r="$rms" 'BEGIN { exit !(r > -30) }' || fail "$clip is (nearly) silent: RMS $rms dB"
  length=$(soxi -D "$clip")
  awk -v d="$length" 'BEGIN { exit !(d > 0.1 && d < 1.5) }' || fail "$clip lasts $length s"
done
[ "$count" = 19 ] || fail "expected 19 clips, found $count"
[ ! -e "$pack/nul.wav" ] && [ ! -e "$pack/a.wav" ] || fail "filler clips must be left out"

# Without espeak-ng: a clear message, a failing status, and no pack.
bin=$(mktemp -d)
out=$(mktemp -d)
trap 'rm -rf "$bin" "$out"' EXIT
for tool in /usr/bin/* /bin/*; do
  name=$(basename "$tool")
  [ "$name" = espeak-ng ] || [ -e "$bin/$name" ] || ln -s "$tool" "$bin/$name"
done
if PATH=$bin bash "$source/tools/make-voice-pack.sh" "$out/pack" 2>"$out/err"; then
  fail "the script succeeded without espeak-ng"
fi
grep -q "espeak-ng" "$out/err" || fail "the message does not name espeak-ng: $(cat "$out/err")"
[ -z "$(ls -A "$out" | grep -v '^err$')" ] || fail "a partial pack was left behind: $(ls -A "$out")"
echo "voice pack: ok"
