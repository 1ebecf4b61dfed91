#!/usr/bin/env python3
"""Measures the tones, quiet and loudness of a voice pack's speech clips.

Usage: voice-report.py LIST PACK_DIR [--check]

LIST is the list the pack was made from (tools/make-voice-pack.sh): its
speech lines give each clip's word, pinyin (tone numbers) and the quiet
wanted before and after the word, its form lines the forms number words
take inside a number (pinyin and shape, no quiet), its level line the
loudness. Prints a row per speech clip, then per form: pitch at the start,
lowest, highest and at the end (Hz); the shape found per syllable
(semitones); each syllable's length (ms; two syllables are split at the
quietest point of the word's middle); the quiet found before and after the
word (ms); the word's RMS and peak (dBFS, the quiet left out); and the
verdict. Then the median pitch and the tone space of the speech clips, the
voice's own words, which the forms are judged against too. With --check,
exits 1 when a rule is broken.

Pitch: YIN from aubiopitch (Debian aubio-tools) rather than a YIN of our
own in numpy: a packaged, tested tracker, and no Python modules needed, so
whichever python3 comes first on PATH runs this script. Its command line
gives no voicing, so a frame counts as voiced only when it is loud enough
and the signal really repeats at the period YIN found (correlation >= 0.6,
checked here); voiced runs under 20 ms and frames more than 9 semitones
from the clip's median (octave jumps) are dropped.
"""
import array
import math
import operator
import statistics
import subprocess
import sys
import wave

RATE = 22050
HOP = 110           # 5 ms frames
WIN = 1024          # YIN window (46 ms): two periods down to 43 Hz
VOICED_R = 0.6      # least correlation at the period for a voiced frame
LOUD_DB = -35       # voiced frames are at most this far below the loudest
QUIET_DB = -50      # a 5 ms frame below this (dBFS) is quiet
MIN_RUN = 4         # voiced runs shorter than this (frames) are noise
OCTAVE_ST = 9       # frames this far from the clip's median are dropped
ONSET_S = 0.03      # tone 1 may settle over this long
QUIET_SLACK_MS = 30 # the quiet found may differ this much from the list's
SYLLABLE_MS = (200, 650)
LEVEL_SLACK_DB = 1  # the word's RMS may differ this much from the list's
MEDIAN_HZ = 150     # least median pitch of the pack
SPACE_ST = 7        # least tone space of the pack

# Tone rules: what each tone must do over the voiced frames of a syllable,
# as (test, fault). `s` holds the syllable's contour in semitones: lo, hi;
# fall to its lowest point and rise after it; lo_at, where that point lies
# (0 to 1); spread and settled_lo, its range and lowest after its first
# 30 ms. `sp` is the pack's tone space (2nd and 98th percentile of every
# voiced frame). A tone 4 that climbs again after its fall is a fault too.
TONE_RULES = {
    "1": [(lambda s, sp: s["spread"] <= 1, "moves {spread:.2f} st (>1)"),
          (lambda s, sp: s["settled_lo"] >= (sp[0] + sp[1]) / 2, "dips into the lower half")],
    "2": [(lambda s, sp: s["rise"] >= 3, "rises only {rise:.2f} st (<3)"),
          (lambda s, sp: s["lo_at"] <= 0.5, "lowest point late ({lo_at:.0%})")],
    "3": [(lambda s, sp: s["lo"] <= sp[0] + (sp[1] - sp[0]) / 3, "not down to the lower third")],
    "4": [(lambda s, sp: s["fall"] >= 5, "falls only {fall:.2f} st (<5)"),
          (lambda s, sp: s["rise"] <= 2, "climbs {rise:.1f} st after its fall")],
}
# What a form inside a number must do besides its tone's rules, by its
# shape in the list (and the tone each shape is said with). A rising form
# (五 before 百) starts low: its lowest point lies in its first 30%, where a
# citation third's dip lies near its middle. A low form, a half third, stays
# in the lower third of the space throughout and does not rise at its end:
# `tail_rise` is the most it climbs from a low point within its last 30%.
SHAPE_TONE = {"falling": "4", "rising": "2", "low": "3"}
SHAPE_RULES = {
    "falling": [],
    "rising": [(lambda s, sp: s["lo_at"] <= 0.3, "lowest point late ({lo_at:.0%} > 30%)")],
    "low": [(lambda s, sp: s["hi"] <= sp[0] + (sp[1] - sp[0]) / 3, "rises above the lower third"),
            (lambda s, sp: s["tail_rise"] <= 1, "rises {tail_rise:.2f} st over its last 30% (>1)")],
}
# A tone-1 syllable that starts on a vowel or a glide (yi) has no consonant
# to settle after: it must be level from its very first frame.
GLIDE_START = "aeiouwy"


def st(hz):
    return 12 * math.log2(hz / 100)


def hz(semitones):
    return 100 * 2 ** (semitones / 12)


def db(x):
    return 20 * math.log10(x) if x > 0 else -120.0


def read_list(path):
    """Speech clips, forms and (RMS, peak) from LIST; see tools/make-voice-pack.sh."""
    clips, forms, level = [], [], (-18.0, -1.0)
    with open(path, encoding="utf-8") as f:
        for line in f:
            p = line.rstrip("\n").split("\t")
            if p[0] == "speech":
                if len(p) != 6:
                    raise SystemExit(f"{path}: want speech CLIP WORD PINYIN BEFORE_MS AFTER_MS: {line}")
                clips.append(dict(clip=p[1], word=p[2], pinyin=p[3].split(),
                                  want=(int(p[4]), int(p[5]))))
            elif p[0] == "form":
                if len(p) != 6 or p[4] not in SHAPE_TONE:
                    raise SystemExit(f"{path}: want form CLIP WORD PINYIN SHAPE OF "
                                     f"(SHAPE one of {', '.join(SHAPE_TONE)}): {line}")
                forms.append(dict(clip=p[1], word=p[2], pinyin=p[3].split(), want=(0, 0),
                                  form=p[4]))
            elif p[0] == "level":
                level = (float(p[1]), float(p[2]))
    return clips, forms, level


def read_wav(path):
    with wave.open(path) as w:
        if (w.getframerate(), w.getnchannels(), w.getsampwidth()) != (RATE, 1, 2):
            raise SystemExit(f"{path}: not {RATE} Hz mono 16-bit")
        x = array.array("h", w.readframes(w.getnframes()))
    if sys.byteorder != "little":
        x.byteswap()
    return x


def rms(x, a, b):
    a = max(a, 0)
    return math.sqrt(sum(v * v for v in x[a:b]) / max(b - a, 1)) / 32768


def periodic(x, a, period):
    """Normalised correlation of the window at A with itself PERIOD later."""
    n = WIN - period
    u, v = x[a:a + n], x[a + period:a + period + n]
    uv = sum(map(operator.mul, u, v))
    uu, vv = sum(map(operator.mul, u, u)), sum(map(operator.mul, v, v))
    return uv / math.sqrt(uu * vv) if uu and vv else 0.0


def track(path, x):
    """Voiced frames of a clip as (seconds, semitones), from aubiopitch."""
    out = subprocess.run(["aubiopitch", "-i", path, "-p", "yin", "-l", "0.1", "-B", str(WIN),
                          "-H", str(HOP), "-s", "-70"],
                         capture_output=True, text=True, check=True).stdout
    loud = db(max(rms(x, i, i + HOP) for i in range(0, len(x), HOP))) + LOUD_DB
    frames = []
    vals = out.split()
    for t, f in zip(map(float, vals[0::2]), map(float, vals[1::2])):
        a = round(t * RATE) + HOP - WIN          # the window YIN looked at
        if not 50 < f < 1000 or a < 0 or a + WIN > len(x):
            continue
        if db(rms(x, a, a + WIN)) < loud or periodic(x, a, round(RATE / f)) < VOICED_R:
            continue
        frames.append(((a + WIN / 2) / RATE, st(f)))
    frames = [f for run in runs(frames) if len(run) >= MIN_RUN for f in run]
    if frames:
        mid = statistics.median(s for _, s in frames)
        frames = [(t, s) for t, s in frames if abs(s - mid) <= OCTAVE_ST]
    return frames


def runs(frames):
    """Splits frames into runs without a gap."""
    out = []
    for f in frames:
        if out and f[0] - out[-1][-1][0] < 1.5 * HOP / RATE:
            out[-1].append(f)
        else:
            out.append([f])
    return out


def word_span(x):
    """Sample range of the word: from the first to the last loud 5 ms frame."""
    loud = [i for i in range(0, len(x), HOP) if db(rms(x, i, i + HOP)) > QUIET_DB]
    return (loud[0], min(loud[-1] + HOP, len(x))) if loud else (0, 0)


def split(x, a, b, n):
    """Splits the word A..B into N syllables at the quietest point of its middle."""
    if n < 2:
        return [(a, b)]
    frames = range(a + (b - a) * 3 // 10, a + (b - a) * 7 // 10, HOP) or [(a + b) // 2]
    cut = min(frames, key=lambda i: rms(x, i - 2 * HOP, i + 3 * HOP))
    return [(a, cut), (cut, b)]


def contour(frames, a, b):
    """The shape of the voiced frames between samples A and B (semitones)."""
    c = [(t, s) for t, s in frames if a / RATE <= t < b / RATE]
    if len(c) < 4:
        return None
    t0, t1 = c[0][0], c[-1][0]
    ss = [s for _, s in c]
    k = ss.index(min(ss))
    settled = [s for t, s in c if t >= t0 + ONSET_S] or ss
    tail = [s for t, s in c if t >= t0 + 0.7 * (t1 - t0)]
    return dict(lo=min(ss), hi=max(ss), lo_at=(c[k][0] - t0) / max(t1 - t0, 1e-9),
                fall=max(ss[:k + 1]) - ss[k], rise=max(ss[k:]) - ss[k],
                spread=max(settled) - min(settled), settled_lo=min(settled),
                whole=max(ss) - min(ss),
                tail_rise=max(s - min(tail[:j + 1]) for j, s in enumerate(tail)))


def shape(s, form=None):
    if s["whole"] <= 1:
        found = "level"
    elif s["fall"] >= 1 and s["rise"] >= 1:
        found = f"dip -{s['fall']:.1f}+{s['rise']:.1f}"
    else:
        found = f"rise +{s['rise']:.1f}" if s["rise"] > s["fall"] else f"fall -{s['fall']:.1f}"
    # what a form's own rules look at
    if form == "rising":
        found += f", low at {s['lo_at']:.0%}"
    elif form == "low":
        found += f", end +{s['tail_rise']:.1f}"
    return found


def judge_syllable(syl, s, ms, lo, hi, form=None):
    faults = []
    if not SYLLABLE_MS[0] <= ms <= SYLLABLE_MS[1]:
        faults.append(f"{syl} lasts {ms:.0f} ms")
    if s is None:
        return faults + [f"{syl} has no pitch"]
    rules = TONE_RULES.get(syl[-1], []) + SHAPE_RULES.get(form, [])
    faults += [f"{syl}: " + fault.format(**s) for test, fault in rules if not test(s, (lo, hi))]
    if syl[-1] == "1" and syl[0] in GLIDE_START and s["whole"] > 1:
        faults.append(f"{syl}: glides {s['whole']:.1f} st at its start")
    return faults


def analyse(pack, item):
    path = f"{pack}/{item['clip']}"
    x = read_wav(path)
    a, b = word_span(x)
    item.update(x=x, frames=track(path, x), quiet=(a * 1000 / RATE, (len(x) - b) * 1000 / RATE),
                syllables=split(x, a, b, len(item["pinyin"])),
                rms=db(rms(x, a, b)), peak=db(max(map(abs, x[a:b]), default=0) / 32768))
    return item


def judge(item, lo, hi, level):
    faults = []
    shapes = []
    form = item.get("form")
    if form and (len(item["pinyin"]) != 1 or item["pinyin"][0][-1] != SHAPE_TONE[form]):
        faults.append(f"{form} wants one syllable of tone {SHAPE_TONE[form]}")
    for syl, (a, b) in zip(item["pinyin"], item["syllables"]):
        s = contour(item["frames"], a, b)
        shapes.append(shape(s, form) if s else "-")
        faults += judge_syllable(syl, s, (b - a) * 1000 / RATE, lo, hi, form)
    for side, got, want in zip(("before", "after"), item["quiet"], item["want"]):
        if abs(got - want) > QUIET_SLACK_MS:
            faults.append(f"quiet {side} {got:.0f} ms, not {want}")
    if abs(item["rms"] - level[0]) > LEVEL_SLACK_DB or item["peak"] > level[1] + 0.05:
        faults.append(f"level {item['rms']:.1f}/{item['peak']:.1f} dBFS")
    return " | ".join(shapes), "; ".join(faults) or "ok"


def row(i, shapes, verdict):
    f = [s for _, s in i["frames"]] or [0]
    pitch = [statistics.mean(f[:3]), min(f), max(f), statistics.mean(f[-3:])]
    word = i["word"] + " " * (5 - 2 * len(i["word"]))  # Han characters are two columns wide
    ms = "+".join(f"{(b - a) * 1000 / RATE:.0f}" for a, b in i["syllables"])
    return (f"{i['clip']:14}{word}{' '.join(i['pinyin']):11}"
            + "".join(f"{hz(p):5.0f}" for p in pitch)
            + f"  {shapes:26}{ms:9}{i['quiet'][0]:4.0f}/{i['quiet'][1]:<4.0f}"
            + f"{i['rms']:6.1f}/{i['peak']:<5.1f}  {verdict}")


def main():
    args = [a for a in sys.argv[1:] if a != "--check"]
    if len(args) != 2:
        raise SystemExit("usage: voice-report.py LIST PACK_DIR [--check]")
    clips, forms, level = read_list(args[0])
    words = [analyse(args[1], c) for c in clips]
    items = words + [analyse(args[1], f) for f in forms]
    every = sorted(s for i in words for _, s in i["frames"])
    if not every:
        raise SystemExit("no voiced frames in the pack's words")
    lo, hi = every[len(every) * 2 // 100], every[len(every) * 98 // 100]
    median = hz(statistics.median(every))
    print(f"{'clip':14}{'word':5}{'pinyin':11}{'start':>5}{'low':>5}{'high':>5}{'end':>5}"
          f"  {'shape (st)':26}{'ms':9}{'quiet ms':9}{'rms/peak':12}  verdict")
    bad = 0
    for i in items:
        shapes, verdict = judge(i, lo, hi, level)
        bad += verdict != "ok"
        print(row(i, shapes, verdict))
    faults = [f"{bad} of {len(items)} clips with faults"]
    faults += [f"median below {MEDIAN_HZ} Hz"] if median < MEDIAN_HZ else []
    faults += [f"tone space below {SPACE_ST} st"] if hi - lo < SPACE_ST else []
    print(f"median {median:.0f} Hz, tone space {hi - lo:.1f} st ({hz(lo):.0f}-{hz(hi):.0f} Hz, "
          f"lower third up to {hz(lo + (hi - lo) / 3):.0f} Hz) of the {len(words)} words; "
          + "; ".join(faults))
    if "--check" in sys.argv[1:] and (bad or len(faults) > 1):
        sys.exit(1)


if __name__ == "__main__":
    main()
