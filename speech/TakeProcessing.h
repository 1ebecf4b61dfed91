#pragma once
// Turns one raw microphone take into a clip of the voice pack's kind. A take (22050 Hz mono 16-bit samples) is
// trimmed of the quiet at both ends, where "quiet" is judged against the
// take's own noise floor; brought to an RMS of -18 dBFS unless that would
// peak above -1 dBFS; given 6 ms half-sine fades; and given the quiet its
// word keeps around it, so it chains with the built-in clips at the same
// loudness, with the same pauses and without a click. A take with no
// speech in it (only noise, or too short a sound) or one clipped throughout
// is refused rather than turned into a clip.
//
// Plain C++ over sample buffers: it records, plays and writes nothing
// (speech/WavFile.h writes clips), and knows nothing of folders.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "WavFile.h"

namespace speech {

// What a finished clip is brought to; the defaults are the built-in pack's.
struct ClipTargets {
    double rmsDb = -18;
    double peakLimitDb = -1;
    double fadeSeconds = 0.006;
    // Digital silence added before and after the word, once it is levelled
    // (speech::SpokenWord says which words pause).
    int quietBeforeMs = 0;
    int quietAfterMs = 0;
};

// Whether a take became a clip, and if not, why: nothing clearly above its
// noise floor, or a fifth of its speech at full scale.
enum class TakeVerdict { Accepted, NoSpeech, Clipped };

// A take's verdict and, only when accepted, the finished clip.
struct ProcessedTake {
    TakeVerdict verdict;
    std::vector<std::int16_t> clip;  // empty unless accepted
};

// Where the speech lies in a take, [begin, end) in samples.
struct SpeechSpan {
    std::size_t begin;
    std::size_t end;
};

// The span from the first to the last sound clearly above the take's noise
// floor, or nothing when fewer than three of the take's 10 ms frames are
// loud (12 dB above that floor, and above -55 dBFS): three such frames
// anywhere in the take count, together or apart.
std::optional<SpeechSpan> FindSpeech(std::span<const std::int16_t> take);

ProcessedTake ProcessTake(std::span<const std::int16_t> take, const ClipTargets& targets = {});

// Levels in dB relative to full scale (32768); -inf dB for silence.
double RmsDb(std::span<const std::int16_t> samples);
double PeakDb(std::span<const std::int16_t> samples);

}  // namespace speech
