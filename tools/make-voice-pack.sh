#!/usr/bin/env bash
# Builds Zorbanu's voice pack: the short WAV clips the program strings
# together to speak each problem in Mandarin.
#
# Usage: tools/make-voice-pack.sh [--report] LIST OUTDIR
#   --report  once the pack is made, print each word's and form's tones,
#             quiet and loudness (tools/voice-report.py; needs python3 and
#             aubiopitch, Debian packages python3 and aubio-tools)
#
# LIST names the clips and says what each speech clip and form says, and
# the loudness to bring them to; the build writes it from the program's own
# tables (zorbanu_voice_pack_list LIST), one tab-separated line each:
#   speech CLIP WORD PINYIN QUIET_BEFORE_MS QUIET_AFTER_MS
#                       a word spoken by espeak-ng from its pinyin (tone
#                       numbers, syllables apart: 0.wav 零 ling2 0 0 ...
#                       ÷.wav 除以 chu2 yi3 150 150), with that much silence
#                       before and after it in the clip
#   form CLIP WORD PINYIN SHAPE OF
#                       the form a number word takes inside a number, where
#                       its tone changes, for the speech clip OF; one
#                       syllable, SHAPE saying how it is said:
#                         falling  tone 4 (1-falling.wav 一 yi4 falling 1.wav)
#                         rising   tone 2 (5-rising.wav 五 wu2 rising 5.wav)
#                         low      a half third: tone 3 low, without its
#                                  final rise (5-low.wav 五 wu3 low 5.wav)
#                       with no silence at either end, like the numbers
#   right CLIP          short rising chime (after a right answer)
#   wrong CLIP          short soft falling tone (after a wrong answer)
#   filler CLIP         deliberately not written: the program treats a
#                       missing clip as silence, and those slots must add
#                       no pause
#   level RMS PEAK FADE the RMS (dBFS) every clip is brought to, the peak
#                       (dBFS) none may pass, the fades (seconds)
#
# The voice is meant for a five-year-old: espeak-ng's Mandarin in a variant
# of this pack's own (below), higher than espeak-ng's default voice and with
# tones that span a wide range, so each tone is plain to hear. docs/voice.md
# has the measurements behind the settings.
#
# Every clip is mono, 16-bit signed PCM, 22050 Hz (espeak-ng's own rate, so
# nothing is resampled), trimmed of leading and trailing silence, brought to
# a common RMS loudness (peak kept below -1 dBFS), given a few milliseconds
# of fade in and out so it does not click, and only then given the silence
# its line asks for, so that silence does not change how loud the word is.
#
# The pack is built in a hidden folder next to OUTDIR, every clip is checked,
# and only then is the folder renamed to OUTDIR (an existing OUTDIR is
# replaced). The last file written is OUTDIR/.complete: a build system should
# depend on that stamp, not on the folder, to tell a finished pack from a
# partial one. Needs espeak-ng and sox (both Debian packages of that name).
set -euo pipefail

# --- settings ---------------------------------------------------------------

language=cmn-latn-pinyin  # Mandarin, read from Han characters or tone-numbered pinyin
variant=zorbanu           # the pack's own voice variant (write_variant)
speed=125                 # words per minute: each syllable lasts 0.28-0.60 s
rate=22050                # espeak-ng's native output rate

# The variant is espeak-ng's female2 (f2) with two changes. Its pitch (lowest
# and highest Hz) is higher and wider than f2's 142 220, so the tones span
# about 10 semitones around a median of about 210 Hz. Its echo (140 ms at
# -20 dB) is gone: it ran on past each word and said the word's end again,
# so that 六 fell, then fell a second time.
write_variant() { # write_variant FILE
  cat >"$1" <<'EOF'
language variant
name zorbanu
gender female

pitch 120 340
roughness 3

formant 0 105  80 150
formant 1 110  80 160
formant 2 110  70 150
formant 3 110  70 150
formant 4 115  80 150
formant 5 115  80 150
formant 6 110  70 150
formant 7 110  70 150
formant 8 110  70 150

stressAdd 0 0 -10 -10 0 0 10 40
breath 0 2 3 3 3 3 3 2
consonants 125 125
EOF
}

# --- helpers ----------------------------------------------------------------

# The form of a half third: tone 3 said as the low fall espeak-ng itself
# gives a third before any other tone (`-x "u3 shi2"` is 'u21 s.'i.35).
citation_tone=214
half_third_tone=21

prog=${0##*/}

die() {
  printf '%s: %s\n' "$prog" "$*" >&2
  exit 1
}

usage() {
  printf 'usage: %s [--report] LIST OUTDIR\n' "$prog" >&2
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

# espeak-ng takes voice variants only from its data folder, so the pack's
# variant goes into a private one under DIR: links to all of the system's
# data but its voices, and a voices folder that holds the variant alone.
make_voice_home() { # make_voice_home DIR
  local data f
  data=$(espeak-ng --version | sed -n 's/.*Data at: *//p')
  [ -d "$data" ] || die "cannot find espeak-ng's data folder"
  mkdir -p "$1/espeak-ng-data/voices/!v"
  for f in "$data"/*; do
    [ "${f##*/}" = voices ] || ln -s "$f" "$1/espeak-ng-data/"
  done
  write_variant "$1/espeak-ng-data/voices/!v/$variant"
}

# What espeak-ng is given for PINYIN: the pinyin itself, less the y of yi
# and the w of wu, which are spelling, not sound. Said as glides, they made
# 一 rise 3.6 semitones over its first 120 ms and 五 rise 3.8 before its dip.
spoken() { # spoken PINYIN
  local syllables
  read -ra syllables <<<"$1"
  syllables=("${syllables[@]/#yi/i}")
  syllables=("${syllables[@]/#wu/u}")
  printf '%s' "${syllables[*]}"
}

# What espeak-ng is given for a half third of PINYIN (one syllable, tone 3):
# its own phonemes for the word, with the third tone 214 made the half third
# 21, as phoneme input ([[...]]). Given a lone third, espeak-ng says the
# full dip and rise; given the same phonemes back it says the very same
# samples, so only the tone differs.
half_third() { # half_third PINYIN
  local phonemes
  phonemes=$(espeak-ng --path="$work/espeak" -v "$language+$variant" -q -x "$(spoken "$1")") ||
    die "espeak-ng failed on $1"
  phonemes=${phonemes%_|}
  [[ $phonemes == *"$citation_tone"* && $phonemes != *"$citation_tone"*"$citation_tone"* ]] ||
    die "espeak-ng does not say $1 as one third tone ($phonemes)"
  printf '[[%s]]' "${phonemes/$citation_tone/$half_third_tone}"
}

# Brings IN to the target RMS (without letting the peak exceed the limit),
# adds the short fades and writes OUT in the pack's format. OFFSET (dB, default
# 0) sets the clip that much above or below the target; BEFORE and AFTER (ms,
# default 0) add silence at either end after the level is set.
finish() { # finish IN OUT [OFFSET [BEFORE AFTER]]
  local rms peak gain t pad
  t=$(awk -v t="$target_rms" -v o="${3:-0}" 'BEGIN { print t + o }')
  pad=$(awk -v b="${4:-0}" -v a="${5:-0}" 'BEGIN { print b / 1000, a / 1000 }')
  rms=$(stat_of "$1" 'RMS lev dB') || die "cannot measure $1"
  peak=$(stat_of "$1" 'Pk lev dB') || die "cannot measure $1"
  gain=$(awk -v r="$rms" -v p="$peak" -v t="$t" -v l="$peak_limit" '
    BEGIN { g = t - r; if (p + g > l) g = l - p; printf "%.2f", g }')
  sox -R -D "$1" -r "$rate" -c 1 -b 16 -e signed-integer "$2" \
    gain "$gain" fade h "$fade" -0 "$fade" pad $pad
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

report=""
while [ $# -gt 0 ]; do
  case $1 in
    --report) report=1 ;;
    --) shift; break ;;
    -*) usage ;;
    *) break ;;
  esac
  shift
done
[ $# -eq 2 ] || usage
[ -n "$2" ] || usage
list=$1
shift

# --- what to make, from LIST ---------------------------------------------------

speech_names=() speech_pinyin=() speech_quiet=() fillers=()
form_names=() form_pinyin=() form_shapes=() form_of=()
right="" wrong="" target_rms="" peak_limit="" fade=""
while IFS=$'\t' read -r kind a b c d e; do
  case $kind in
    speech)
      [[ $c =~ ^[a-zü]+[1-5]( [a-zü]+[1-5])*$ && $d =~ ^[0-9]+$ && $e =~ ^[0-9]+$ ]] ||
        die "$list: $a needs WORD, PINYIN (with tone numbers), QUIET_BEFORE_MS, QUIET_AFTER_MS"
      speech_names+=("$a") speech_pinyin+=("$c") speech_quiet+=("$d $e") ;;
    form)
      [[ $c =~ ^[a-zü]+[1-5]$ && "$d ${c: -1}" =~ ^(falling 4|rising 2|low 3)$ && -n $e ]] ||
        die "$list: $a needs WORD, one syllable of PINYIN and SHAPE (falling with tone 4, rising with 2, low with 3), OF"
      form_names+=("$a") form_pinyin+=("$c") form_shapes+=("$d") form_of+=("$e") ;;
    right) right=$a ;;
    wrong) wrong=$a ;;
    filler) fillers+=("$a") ;;
    level) target_rms=$a peak_limit=$b fade=$c ;;
    *) die "$list: unknown line '$kind'" ;;
  esac
done <"$list" || die "cannot read $list"
[ ${#speech_names[@]} -gt 0 ] && [ -n "$right" ] && [ -n "$wrong" ] && [ -n "$fade" ] ||
  die "$list: no speech clips, answer sounds or level"
for of in "${form_of[@]}"; do
  [[ " ${speech_names[*]} " == *" $of "* ]] || die "$list: a form of $of, which is no speech clip"
done

need espeak-ng espeak-ng
# espeak-ng 1.52 seeds the noise of a voice's breath from the clock, so the
# same word came out different at every build, unless -D asks for its fixed
# seed. 1.51 knows no -D, and its noise is always the same.
repeatable=()
if espeak-ng --help 2>&1 | grep -q '^-D'; then repeatable=(-D); fi
need sox sox
need soxi sox
if [ -n "$report" ]; then
  need python3 python3
  need aubiopitch aubio-tools
fi
espeak-ng --voices=cmn 2>/dev/null | grep -q "[[:space:]]${language}[[:space:]]" ||
  die "espeak-ng has no '$language' voice; reinstall the package 'espeak-ng-data'"

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
make_voice_home "$work/espeak"

# speech
for i in "${!speech_names[@]}"; do
  name=${speech_names[$i]}
  text=$(spoken "${speech_pinyin[$i]}")
  espeak-ng "${repeatable[@]}" --path="$work/espeak" -v "$language+$variant" -s "$speed" \
    -w "$work/raw.wav" "$text" || die "espeak-ng failed on $text"
  trim "$work/raw.wav" "$work/trim.wav"
  finish "$work/trim.wav" "$stage/$name" 0 ${speech_quiet[$i]}
done

# forms: the same voice, speed, trim and level as the words, and like the
# numbers no silence at either end. A falling or rising form is its pinyin
# read as it is (yi4, wu2); a low one is the half third.
for i in "${!form_names[@]}"; do
  name=${form_names[$i]}
  if [ "${form_shapes[$i]}" = low ]; then
    text=$(half_third "${form_pinyin[$i]}")
  else
    text=$(spoken "${form_pinyin[$i]}")
  fi
  espeak-ng "${repeatable[@]}" --path="$work/espeak" -v "$language+$variant" -s "$speed" \
    -w "$work/raw.wav" "$text" || die "espeak-ng failed on $text"
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

for name in "${speech_names[@]}" "${form_names[@]}"; do
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

if [ -n "$report" ]; then
  python3 "$(dirname -- "$0")/voice-report.py" "$list" "$out"
fi
