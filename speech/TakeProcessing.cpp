#include "TakeProcessing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace speech {
namespace {

constexpr double kFullScale = 32768;
constexpr std::size_t kFrame = kClipRate / 100;  // 10 ms
// A frame is sound when its RMS is this far above the noise floor (12 dB),
// a sample when its value is 11 dB above it: steady room noise stays below
// both, while the soft tail of a word stays above them for longer.
constexpr double kFrameAboveFloor = 4.0;
constexpr double kSampleAboveFloor = 3.5;
// Below -55 dBFS nothing counts as sound, even over digital silence.
const double kQuietest = kFullScale * std::pow(10.0, -55.0 / 20);
constexpr std::size_t kShortestSpeechFrames = 3;
// A take counts as clipped throughout when this share of its speech sits
// at full scale.
constexpr double kClippedShare = 0.2;
constexpr int kClippedValue = 32700;

double DbFromLinear(double value)
{
    return value > 0 ? 20 * std::log10(value / kFullScale) : -std::numeric_limits<double>::infinity();
}

double LinearFromDb(double db)
{
    return std::pow(10.0, db / 20);
}

double Rms(std::span<const std::int16_t> samples)
{
    if (samples.empty())
        return 0;
    double sum = 0;
    for (std::int16_t s : samples)
        sum += double(s) * s;
    return std::sqrt(sum / double(samples.size()));
}

std::vector<double> FrameLevels(std::span<const std::int16_t> take)
{
    std::vector<double> levels;
    for (std::size_t at = 0; at + kFrame <= take.size(); at += kFrame)
        levels.push_back(Rms(take.subspan(at, kFrame)));
    return levels;
}

// The level the quietest tenth of the take's frames stays under.
double NoiseFloor(std::vector<double> levels)
{
    auto tenth = levels.begin() + static_cast<std::ptrdiff_t>(levels.size() / 10);
    std::nth_element(levels.begin(), tenth, levels.end());
    return *tenth;
}

bool IsLoud(std::int16_t sample, double threshold)
{
    return std::abs(int(sample)) > threshold;
}

// Moves each end of the frames found loud onto the first and last loud
// sample, searching from one frame outside them.
SpeechSpan RefineToSamples(std::span<const std::int16_t> take, std::size_t firstFrame, std::size_t lastFrame,
                           double threshold)
{
    const std::size_t from = firstFrame > 0 ? (firstFrame - 1) * kFrame : 0;
    const std::size_t to = std::min(take.size(), (lastFrame + 2) * kFrame);
    std::size_t begin = from;
    while (begin < to && !IsLoud(take[begin], threshold))
        ++begin;
    std::size_t end = to;
    while (end > begin && !IsLoud(take[end - 1], threshold))
        --end;
    return {begin, end};
}

bool IsClippedThroughout(std::span<const std::int16_t> speech)
{
    auto clipped = std::count_if(speech.begin(), speech.end(),
                                 [](std::int16_t s) { return std::abs(int(s)) >= kClippedValue; });
    return double(clipped) > kClippedShare * double(speech.size());
}

double GainFor(std::span<const std::int16_t> speech, const ClipTargets& targets)
{
    const double gainDb = std::min(targets.rmsDb - RmsDb(speech), targets.peakLimitDb - PeakDb(speech));
    return LinearFromDb(gainDb);
}

// Half-sine ramp from 0 at the clip's edge to 1 after `length` samples.
double FadeWeight(std::size_t fromEdge, std::size_t length)
{
    if (fromEdge >= length)
        return 1;
    return (1 - std::cos(std::numbers::pi * double(fromEdge) / double(length))) / 2;
}

std::vector<std::int16_t> ScaleAndFade(std::span<const std::int16_t> speech, double gain, double fadeSeconds)
{
    const auto fade = static_cast<std::size_t>(std::lround(fadeSeconds * kClipRate));
    std::vector<std::int16_t> clip(speech.size());
    for (std::size_t i = 0; i < speech.size(); ++i) {
        const double weight = FadeWeight(i, fade) * FadeWeight(speech.size() - 1 - i, fade);
        const double value = std::round(speech[i] * gain * weight);
        clip[i] = static_cast<std::int16_t>(std::clamp(value, -32768.0, 32767.0));
    }
    return clip;
}

std::size_t SamplesOf(int milliseconds)
{
    return static_cast<std::size_t>(milliseconds) * kClipRate / 1000;
}

}  // namespace

double RmsDb(std::span<const std::int16_t> samples)
{
    return DbFromLinear(Rms(samples));
}

double PeakDb(std::span<const std::int16_t> samples)
{
    int peak = 0;
    for (std::int16_t s : samples)
        peak = std::max(peak, std::abs(int(s)));
    return DbFromLinear(peak);
}

std::optional<SpeechSpan> FindSpeech(std::span<const std::int16_t> take)
{
    const std::vector<double> levels = FrameLevels(take);
    if (levels.empty())
        return std::nullopt;
    const double floor = NoiseFloor(levels);
    const double frameThreshold = std::max(floor * kFrameAboveFloor, kQuietest);
    auto loud = [&](double level) { return level > frameThreshold; };
    if (static_cast<std::size_t>(std::count_if(levels.begin(), levels.end(), loud)) < kShortestSpeechFrames)
        return std::nullopt;
    const auto first = static_cast<std::size_t>(std::find_if(levels.begin(), levels.end(), loud) - levels.begin());
    const auto last = levels.size() - 1 -
                      static_cast<std::size_t>(std::find_if(levels.rbegin(), levels.rend(), loud) - levels.rbegin());
    return RefineToSamples(take, first, last, std::max(floor * kSampleAboveFloor, kQuietest));
}

ProcessedTake ProcessTake(std::span<const std::int16_t> take, const ClipTargets& targets)
{
    const std::optional<SpeechSpan> span = FindSpeech(take);
    if (!span)
        return {TakeVerdict::NoSpeech, {}};
    const auto speech = take.subspan(span->begin, span->end - span->begin);
    if (IsClippedThroughout(speech))
        return {TakeVerdict::Clipped, {}};
    std::vector<std::int16_t> clip = ScaleAndFade(speech, GainFor(speech, targets), targets.fadeSeconds);
    clip.insert(clip.begin(), SamplesOf(targets.quietBeforeMs), 0);
    clip.insert(clip.end(), SamplesOf(targets.quietAfterMs), 0);
    return {TakeVerdict::Accepted, std::move(clip)};
}

}  // namespace speech
