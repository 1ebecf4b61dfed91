#pragma once
// Stand-ins for the two things a test must control: the random values, and
// what would be heard. RecordingPlayer can pass each clip on to a real
// player, so a test can both read the names and hear (disk-write) them.

#include <functional>
#include <string>
#include <vector>

#include "quiz/Random.h"
#include "speech/ClipPlayer.h"

namespace testing_support {

class SequenceRandom final : public quiz::RandomSource {
public:
    explicit SequenceRandom(std::vector<float> values) : values_(std::move(values)) {}
    void SeedRandom() override { ++seeds; }
    // Replays the values in order, then starts again from the first.
    float NextSingle() override { return values_[consumed++ % values_.size()]; }

    int seeds = 0;
    std::size_t consumed = 0;

private:
    std::vector<float> values_;
};

class RecordingPlayer final : public speech::ClipPlayer {
public:
    explicit RecordingPlayer(speech::ClipPlayer* forwardTo = nullptr) : forward_(forwardTo) {}
    void PlayClip(const std::string& fileName) override
    {
        played.push_back(fileName);
        if (onPlay)
            onPlay(fileName);
        if (forward_)
            forward_->PlayClip(fileName);
    }

    std::vector<std::string> played;
    std::function<void(const std::string&)> onPlay;

private:
    speech::ClipPlayer* forward_;
};

}  // namespace testing_support
