// Take processing on synthetic takes: a 440 Hz tone with quiet or noise
// around it, noise alone, silence, and a take clipped throughout.
#include <gtest/gtest.h>

#include <algorithm>
#include <numbers>
#include <random>

#include "speech/TakeProcessing.h"

namespace {

using speech::TakeVerdict;
constexpr int kLead = 11025, kTone = 13230, kTail = 11025;  // 0.5 s, 0.6 s, 0.5 s

// Amplitudes in 16-bit units; a spike is a 2 ms burst ten times louder mid-tone.
struct TakeCase { const char* name; double tone, noise; bool spike; TakeVerdict verdict; };

std::vector<std::int16_t> MakeTake(const TakeCase& c)
{
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, std::max(c.noise, 1e-9));
    std::vector<std::int16_t> take;
    for (int t = -kLead; t < kTone + kTail; ++t) {
        const double level = t < 0 || t >= kTone ? 0 : (c.spike && std::abs(t - kTone / 2) < 22 ? 10 : 1) * c.tone;
        const double value = noise(random) + level * std::sin(2 * std::numbers::pi * 440 * t / speech::kClipRate);
        take.push_back(static_cast<std::int16_t>(std::clamp(std::round(value), -32768.0, 32767.0)));
    }
    return take;
}

class Take : public ::testing::TestWithParam<TakeCase> {};

TEST_P(Take, ToneIsTrimmedLevelledAndFadedAndAnythingElseRefused)
{
    const auto take = MakeTake(GetParam());
    const auto [verdict, clip] = speech::ProcessTake(take);
    ASSERT_EQ(verdict, GetParam().verdict);
    if (verdict != TakeVerdict::Accepted)
        return;
    const auto span = speech::FindSpeech(take);
    EXPECT_NEAR(double(span->begin), kLead, 66);  // within 3 ms
    EXPECT_NEAR(double(span->end), kLead + kTone, 66);
    EXPECT_LE(speech::PeakDb(clip), -0.99);
    // At -18 dBFS RMS, unless the spike meets the -1 dBFS peak limit first.
    EXPECT_NEAR(GetParam().spike ? speech::PeakDb(clip) : speech::RmsDb(clip), GetParam().spike ? -1 : -18, 0.2);
    // No click: each end stays 20 dB under the peak for its first 1 ms.
    EXPECT_LT(speech::PeakDb(std::span(clip).first(22)), speech::PeakDb(clip) - 20);
    EXPECT_LT(speech::PeakDb(std::span(clip).last(22)), speech::PeakDb(clip) - 20);
}

INSTANTIATE_TEST_SUITE_P(Takes, Take,
    ::testing::Values(TakeCase{"Plain", 8000, 40, false, TakeVerdict::Accepted}, TakeCase{"Quiet", 300, 20, false, TakeVerdict::Accepted},
                      TakeCase{"Loud", 30000, 300, false, TakeVerdict::Accepted}, TakeCase{"Spiky", 2000, 30, true, TakeVerdict::Accepted},
                      TakeCase{"DigitalSilence", 2000, 0, false, TakeVerdict::Accepted}, TakeCase{"Noise", 0, 300, false, TakeVerdict::NoSpeech},
                      TakeCase{"Silence", 0, 0, false, TakeVerdict::NoSpeech}, TakeCase{"Clipped", 200000, 30, false, TakeVerdict::Clipped}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
