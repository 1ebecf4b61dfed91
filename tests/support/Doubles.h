#pragma once
// Stand-ins for the two things a test must control: the random values, and
// the clips that would be heard.

#include <functional>
#include <string>
#include <vector>

#include "quiz/Random.h"
#include "speech/ClipPlayer.h"

namespace testing_support {

// Replays the given values in order, then from the first again.
class SequenceRandom final : public quiz::RandomSource {
public:
    explicit SequenceRandom(std::vector<float> values) : values_(std::move(values)) {}
    void SeedRandom() override { ++seeds; }
    float NextSingle() override { return values_[consumed++ % values_.size()]; }

    int seeds = 0;
    std::size_t consumed = 0;

private:
    std::vector<float> values_;
};

// The random value that makes Draw(range) return n.
inline float ValueFor(int n, int range) { return (static_cast<float>(n) - 0.5f) / static_cast<float>(range); }

class RecordingPlayer final : public speech::ClipPlayer {
public:
    void PlayClip(const std::string& fileName) override
    {
        played.push_back(fileName);
        if (onPlay)
            onPlay();
    }
    std::vector<std::string> played;
    std::function<void()> onPlay;
};

}  // namespace testing_support
