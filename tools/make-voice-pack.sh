#!/usr/bin/env bash
# Builds Zorbanu's voice pack: the short WAV clips the program strings
# together to speak each problem in Mandarin.
#
# Usage: tools/make-voice-pack.sh LIST OUTDIR
#
# LIST names the clips and says what each speech clip says, and the
# loudness to bring them to; the build writes it from the program's own
# tables (zorbanu_voice_pack_list LIST), one tab-separated line each:
#   speech CLIP WORD    a word spoken by espeak-ng (0.wav 零 ... =.wav 等于)
#   right CLIP          short rising chime (after a right answer)
#   wrong CLIP          short soft falling tone (after a wrong answer)
#   filler CLIP         deliberately not written: the program treats a
#                       missing clip as silence, and those slots must add
#                       no pause
#   level RMS PEAK FADE the RMS (dBFS) every clip is brought to, the peak
#                       (dBFS) none may pass, the fades (seconds)
#
# Every clip is mono, 16-bit signed PCM, 22050 Hz (espeak-ng's own rate, so
# nothing is resampled), trimmed of leading and trailing silence, brought to
# a common RMS loudness (peak kept below -1 dBFS) and given a few
# milliseconds of fade in and out so it does not click.
#
# The pack is built in a hidden folder next to OUTDIR, every clip is checked,
# and only then is the folder renamed to OUTDIR (an existing OUTDIR is
# replaced). The last file written is OUTDIR/.complete: a build system should
# depend on that stamp, not on the folder, to tell a finished pack from a
# partial one. Needs espeak-ng and sox (both Debian packages of that name).
set -euo pipefail

# --- settings ---------------------------------------------------------------

voice=cmn-latn-pinyin   # reads Han characters as Mandarin
speed=130               # words per minute; a little slower than the default
pitch=50                # espeak-ng default
rate=22050              # espeak-ng's native output rate

# --- helpers ----------------------------------------------------------------

prog=${0##*/}

die() {
  printf '%s: %s\n' "$prog" "$*" >&2
  exit 1
}

usage() {
  printf 'usage: %s LIST OUTDIR\n' "$prog" >&2
  exit 2
}

need() { # need TOOL PACKAGE
  command -v "$1" >/dev/null 2>&1 ||
    die "'$1' not found; install the Debian package '$2' (apt-get install $2)"
}

# Prints one field ("RMS lev dB", "Pk lev dB", ...) of `sox FILE -n stats`.
stat_of() { # stat_of FILE FIELD
  sox "$1" -n stats 2>&1 | awk -v f="$2" '
    index($0, f) == 1 { print $(NF); found = 1 }
    END { if (!found) exit 1 }'
}

# Every sox call that writes a clip runs with -R (repeatable: fixed seeds, no
# time stamps) and -D (no dither: 16-bit sources written at 16 bits need
# none, and sox dithers at random), so two builds give identical clips.

# Trims silence at both ends of IN and writes the result to OUT.
trim() { # trim IN OUT
  sox -R -D "$1" "$2" silence 1 0.01 -45d reverse silence 1 0.01 -45d reverse
}

# Brings IN to the target RMS (without letting the peak exceed the limit),
# adds the short fades and writes OUT in the pack's format. OFFSET (dB, default
# 0) sets the clip that much above or below the target.
finish() { # finish IN OUT [OFFSET]
  local rms peak gain t
  t=$(awk -v t="$target_rms" -v o="${3:-0}" 'BEGIN { print t + o }')
  rms=$(stat_of "$1" 'RMS lev dB') || die "cannot measure $1"
  peak=$(stat_of "$1" 'Pk lev dB') || die "cannot measure $1"
  gain=$(awk -v r="$rms" -v p="$peak" -v t="$t" -v l="$peak_limit" '
    BEGIN { g = t - r; if (p + g > l) g = l - p; printf "%.2f", g }')
  sox -R -D "$1" -r "$rate" -c 1 -b 16 -e signed-integer "$2" \
    gain "$gain" fade h "$fade" -0 "$fade"
}

# Fails unless FILE is a sane clip: right format, not silent, sensible length.
check() { # check FILE MIN_SECONDS MAX_SECONDS
  local f=$1 name=${1##*/} dur rms
  [ -s "$f" ] || die "$name: missing or empty"
  [ "$(soxi -t "$f")" = wav ] || die "$name: not a WAV file"
  [ "$(soxi -r "$f")" = "$rate" ] || die "$name: sample rate is not $rate Hz"
  [ "$(soxi -c "$f")" = 1 ] || die "$name: not mono"
  [ "$(soxi -b "$f")" = 16 ] || die "$name: not 16-bit"
  [ "$(soxi -e "$f")" = "Signed Integer PCM" ] || die "$name: not signed PCM"
  dur=$(soxi -D "$f")
  awk -v d="$dur" -v lo="$2" -v hi="$3" 'BEGIN { exit !(d >= lo && d <= hi) }' ||
    die "$name: duration ${dur}s outside ${2}..${3}s"
  rms=$(stat_of "$f" 'RMS lev dB') || die "$name: cannot measure level"
  awk -v r="$rms" 'BEGIN { exit !(r != "-inf" && r + 0 > -40) }' ||
    die "$name: silent (RMS $rms dBFS)"
}

# --- arguments and tools ----------------------------------------------------

if [ "${1:-}" = -- ]; then
  shift
else
  case ${1:-} in -*) usage ;; esac
fi
[ $# -eq 2 ] || usage
[ -n "$2" ] || usage
list=$1
shift

# --- what to make, from LIST ---------------------------------------------------

speech_names=() speech_texts=() fillers=() right="" wrong="" target_rms="" peak_limit="" fade=""
while IFS=$'\t' read -r kind a b c; do
  case $kind in
    speech) speech_names+=("$a") speech_texts+=("$b") ;;
    right) right=$a ;;
    wrong) wrong=$a ;;
    filler) fillers+=("$a") ;;
    level) target_rms=$a peak_limit=$b fade=$c ;;
    *) die "$list: unknown line '$kind'" ;;
  esac
done <"$list" || die "cannot read $list"
[ ${#speech_names[@]} -gt 0 ] && [ -n "$right" ] && [ -n "$wrong" ] && [ -n "$fade" ] ||
  die "$list: no speech clips, answer sounds or level"

need espeak-ng espeak-ng
need sox sox
need soxi sox
espeak-ng --voices=cmn 2>/dev/null | grep -q "[[:space:]]${voice}[[:space:]]" ||
  die "espeak-ng has no '$voice' voice; reinstall the package 'espeak-ng-data'"

out=${1%/}
[ -n "$out" ] || out=/
case $out in
  /* | ./* | ../*) ;;
  *) out=./$out ;; # keeps names such as "-x" from looking like options
esac
[ ! -e "$out" ] || [ -d "$out" ] || die "$out exists and is not a folder"

parent=$(dirname -- "$out")
base=$(basename -- "$out")
[ -d "$parent" ] || die "folder $parent does not exist"

# --- build in a hidden folder next to OUTDIR ----------------------------------

stage=$(mktemp -d "$parent/.$base.new.XXXXXX") || die "cannot create a folder in $parent"
old=""
cleanup() {
  [ -z "$stage" ] || rm -rf -- "$stage"
  [ -z "$old" ] || rm -rf -- "$old"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

work=$stage/.work
mkdir "$work"

# speech
for i in "${!speech_names[@]}"; do
  name=${speech_names[$i]}
  text=${speech_texts[$i]}
  espeak-ng -v "$voice" -s "$speed" -p "$pitch" -w "$work/raw.wav" "$text" ||
    die "espeak-ng failed on $text"
  trim "$work/raw.wav" "$work/trim.wav"
  finish "$work/trim.wav" "$stage/$name"
done

# win: four quick rising notes (C6 E6 G6 C7), each a soft sine with a faint
# octave overtone that rings out under the next one.
notes=(1046.5 1318.5 1568.0 2093.0)
parts=()
for i in "${!notes[@]}"; do
  f=${notes[$i]}
  len=$([ "$i" -eq 3 ] && echo 0.42 || echo 0.22)
  f2=$(awk -v f="$f" 'BEGIN { print f * 2 }')
  tail=$(awk -v l="$len" 'BEGIN { print l - 0.02 }')
  delay=$(awk -v i="$i" 'BEGIN { print i * 0.1 }')
  sox -R -D -n -r "$rate" -b 16 "$work/note$i.wav" \
    synth "$len" sine "$f" sine "$f2" remix 1v0.85,2v0.15 \
    fade q 0.008 "$len" "$tail" pad "$delay"
  parts+=("$work/note$i.wav")
done
sox -R -D -m "${parts[@]}" "$work/win-raw.wav"
finish "$work/win-raw.wav" "$stage/$right"

# won: a mellow two-step fall (A4, then G4 gliding down to E4), low-passed, with
# slow fades so it sounds like "oh well" rather than an alarm.
sox -R -D -n -r "$rate" -c 1 -b 16 "$work/won-a.wav" \
  synth 0.22 sine 440 fade h 0.02 0.22 0.06
sox -R -D -n -r "$rate" -c 1 -b 16 "$work/won-b.wav" \
  synth 0.42 sine 392/330 fade h 0.02 0.42 0.3
sox -R -D "$work/won-a.wav" "$work/won-b.wav" "$work/won-raw.wav" lowpass 2000
finish "$work/won-raw.wav" "$stage/$wrong" -3 # a touch quieter: no scolding

rm -rf -- "$work"

# --- check every clip -------------------------------------------------------

for name in "${speech_names[@]}"; do
  check "$stage/$name" 0.15 1.5
done
check "$stage/$right" 0.3 1.0
check "$stage/$wrong" 0.3 1.0
for name in "${fillers[@]}"; do
  [ ! -e "$stage/$name" ] || die "$name must not be in the pack"
done

# --- put the pack in place --------------------------------------------------

chmod 755 "$stage"
date -u '+%Y-%m-%dT%H:%M:%SZ' >"$stage/.complete"

if [ -e "$out" ]; then
  # Move the old pack aside first: the new one then appears under OUTDIR in
  # a single rename, and OUTDIR never holds a mix of old and new clips.
  old=$(mktemp -d "$parent/.$base.old.XXXXXX")
  mv -T -- "$out" "$old/pack"
fi
if ! mv -T -- "$stage" "$out"; then
  [ -z "$old" ] || mv -T -- "$old/pack" "$out" || true
  die "cannot move the new pack to $out"
fi
stage=""
# the trap removes the old pack
