#pragma once
// Turns one raw microphone take into a clip of the voice pack's kind, and
// reads and writes such clips. A take (22050 Hz mono 16-bit samples) is
// trimmed of the quiet at both ends, where "quiet" is judged against the
// take's own noise floor; brought to an RMS of -18 dBFS unless that would
// peak above -1 dBFS; and given 6 ms half-sine fades, so it chains with the
// built-in clips at the same loudness and without a click. A take with no
// speech in it (only noise, or too short a sound) or one clipped throughout
// is refused rather than turned into a clip.
//
// Plain C++ over sample buffers and files: it records and plays nothing, and
// knows nothing of which folder a clip belongs in.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace speech {

inline constexpr int kClipRate = 22050;

// What a finished clip is brought to; the defaults are the built-in pack's.
struct ClipTargets {
    double rmsDb = -18;
    double peakLimitDb = -1;
    double fadeSeconds = 0.006;
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
// floor, or nothing when there is no such sound of at least 30 ms.
std::optional<SpeechSpan> FindSpeech(std::span<const std::int16_t> take);

ProcessedTake ProcessTake(std::span<const std::int16_t> take, const ClipTargets& targets = {});

// Levels in dB relative to full scale (32768); -inf dB for silence.
double RmsDb(std::span<const std::int16_t> samples);
double PeakDb(std::span<const std::int16_t> samples);

// A 44-byte-header PCM WAV file: 22050 Hz, mono, 16-bit.
std::vector<std::uint8_t> EncodeWav(std::span<const std::int16_t> samples);

// The samples of a 16-bit mono PCM WAV file at 22050 Hz, or nothing for any
// other kind of file.
std::optional<std::vector<std::int16_t>> DecodeWav(std::span<const std::uint8_t> bytes);

// Writes bytes under a temporary name in the target's folder, flushes them
// to the disk and renames the file into place, so the target is always
// either its old content or the whole new one. False when anything fails;
// the temporary file is then removed.
bool WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

// The whole file, or nothing when it cannot be read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path);

}  // namespace speech
