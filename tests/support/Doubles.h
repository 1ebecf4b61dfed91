#pragma once
// Stand-ins for the two things a test must control: the random values, and
// the clips that would be heard.

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "quiz/Random.h"
#include "speech/ClipPlayer.h"

namespace testing_support {

// Replays the given values in order, then the last one again.
struct SequenceRandom final : quiz::RandomSource {
    explicit SequenceRandom(std::vector<float> given) : values(std::move(given)) {}
    void SeedRandom() override { ++seeds; }
    float NextSingle() override
    {
        return values[std::min(consumed++, values.size() - 1)];
    }
    std::vector<float> values;
    int seeds = 0;
    std::size_t consumed = 0;
};

// The random value that makes Draw(range) return n.
inline float ValueFor(int n, int range) { return (static_cast<float>(n) - 0.5f) / static_cast<float>(range); }

// Records the clips it is asked to play, calling onPlay for each; the
// reading has ended as it returns, or, while ending is held, once
// EndSounds is called.
struct RecordingPlayer final : speech::ClipPlayer {
    void PlayReading(std::span<const std::string> clips, speech::AfterSound then) override
    {
        for (const std::string& clip : clips) {
            played.push_back(clip);
            if (onPlay)
                onPlay();
        }
        holdEnds ? unended.push_back(std::move(then)) : then(speech::SoundEnd::Played);
    }
    void EndSounds()
    {
        for (const speech::AfterSound& then : std::exchange(unended, {}))
            then(speech::SoundEnd::Played);
    }
    std::vector<std::string> played;
    std::function<void()> onPlay;
    bool holdEnds = false;
    std::vector<speech::AfterSound> unended;
};

}  // namespace testing_support
