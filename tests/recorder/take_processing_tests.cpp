// Take processing on synthetic takes: a 440 Hz tone with quiet or noise
// around it, noise alone, silence, and a take clipped throughout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "speech/TakeProcessing.h"

namespace {

constexpr int kLead = 11025, kTone = 13230, kTail = 11025;  // 0.5 s, 0.6 s, 0.5 s
constexpr int kFewMs = 66;                                    // 3 ms

struct TakeCase {
    const char* name;
    double tone, noise;  // amplitudes in 16-bit units
    bool spike;          // a 2 ms burst ten times louder mid-tone
};

std::vector<std::int16_t> MakeTake(const TakeCase& c)
{
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, c.noise);
    std::vector<std::int16_t> take;
    for (int i = 0; i < kLead + kTone + kTail; ++i) {
        const int t = i - kLead;
        const double level = t < 0 || t >= kTone ? 0 : (c.spike && std::abs(t - kTone / 2) < 22 ? 10 : 1) * c.tone;
        const double value = noise(random) + level * std::sin(2 * std::numbers::pi * 440 * t / speech::kClipRate);
        take.push_back(static_cast<std::int16_t>(std::clamp(std::round(value), -32768.0, 32767.0)));
    }
    return take;
}

double LoudestIn(const std::vector<std::int16_t>& clip, std::size_t from, std::size_t count)
{
    int most = 0;
    for (std::size_t i = from; i < from + count; ++i)
        most = std::max(most, std::abs(int(clip[i])));
    return most;
}

class SpokenTake : public ::testing::TestWithParam<TakeCase> {};

TEST_P(SpokenTake, IsTrimmedToTheToneLevelledAndFaded)
{
    const auto take = MakeTake(GetParam());
    const auto span = speech::FindSpeech(take);
    ASSERT_TRUE(span.has_value());
    EXPECT_NEAR(double(span->begin), kLead, kFewMs);
    EXPECT_NEAR(double(span->end), kLead + kTone, kFewMs);
    const auto result = speech::ProcessTake(take);
    ASSERT_EQ(result.verdict, speech::TakeVerdict::Accepted);
    const auto& clip = result.clip;
    EXPECT_EQ(clip.size(), span->end - span->begin);
    EXPECT_LE(speech::PeakDb(clip), -0.99);
    if (GetParam().spike)
        EXPECT_NEAR(speech::PeakDb(clip), -1, 0.1);  // the peak limit holds the level down
    else
        EXPECT_NEAR(speech::RmsDb(clip), -18, 0.3);
    // No click: each end starts from zero and stays low for its first 1 ms.
    const double peak = LoudestIn(clip, 0, clip.size());
    EXPECT_EQ(clip.front(), 0);
    EXPECT_EQ(clip.back(), 0);
    EXPECT_LT(LoudestIn(clip, 0, 22), 0.1 * peak);
    EXPECT_LT(LoudestIn(clip, clip.size() - 22, 22), 0.1 * peak);
}

INSTANTIATE_TEST_SUITE_P(Takes, SpokenTake,
                         ::testing::Values(TakeCase{"Plain", 8000, 40, false}, TakeCase{"Quiet", 300, 20, false},
                                           TakeCase{"LoudAndNoisy", 30000, 300, false},
                                           TakeCase{"DigitalSilence", 2000, 0, false}, TakeCase{"Spiky", 2000, 30, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RefusedTake, NoSpeechOrClippedThroughoutGivesNoClip)
{
    const std::pair<TakeCase, speech::TakeVerdict> cases[] = {
        {{"Noise", 0, 300, false}, speech::TakeVerdict::NoSpeech},
        {{"Silence", 0, 0, false}, speech::TakeVerdict::NoSpeech},
        {{"Clipped", 200000, 30, false}, speech::TakeVerdict::Clipped},
    };
    for (const auto& [take, verdict] : cases) {
        const auto result = speech::ProcessTake(MakeTake(take));
        EXPECT_EQ(result.verdict, verdict) << take.name;
        EXPECT_TRUE(result.clip.empty());
    }
}

TEST(TestEnvironment, EveryVariableReachesTheTest)
{
    for (const char* name : {"QT_QPA_PLATFORM", "SDL_AUDIODRIVER", "LC_ALL"})
        std::printf("%s=%s\n", name, std::getenv(name) ? std::getenv(name) : "(unset)");
    EXPECT_STREQ(std::getenv("QT_QPA_PLATFORM"), "offscreen");
    EXPECT_STREQ(std::getenv("SDL_AUDIODRIVER"), "dummy");
    EXPECT_STREQ(std::getenv("LC_ALL"), "C.UTF-8");
}

}  // namespace
