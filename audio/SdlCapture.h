#pragma once
// Records takes from the default microphone through SDL2's capture device,
// at 22050 Hz mono 16-bit (SDL converts whatever the hardware gives). Every
// call into SDL is a job on the process's sound thread, which the player
// shares; the caller waits for each with a bound. The device is open only
// while a take runs: Start opens it and Stop closes it, handing back
// everything captured since Start. So the desktop shows no microphone in use
// between takes, and a microphone plugged in (or a sound server started)
// after the recorder started is found at the next take.
//
// A sound system that does not answer in time is told apart from one that
// has no microphone. A take whose Start was given up is closed by the sound
// thread as soon as its open returns, so no microphone stays open that no
// take uses.
//
// It does not judge, trim or save a take, and it does not time one: the
// caller decides when a take ends.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "SoundThread.h"

namespace audio {

enum class StartResult { Started, AlreadyRecording, NoMicrophone, NoAnswer };

class SdlCapture {
public:
    // waiter: how the caller spends its waits (null: asleep).
    SdlCapture(SoundThread& sound, Waiter* waiter = nullptr);
    ~SdlCapture();
    SdlCapture(const SdlCapture&) = delete;
    SdlCapture& operator=(const SdlCapture&) = delete;

    // Whether the sound system lists any microphone now (opening nothing);
    // nothing when it does not answer.
    std::optional<bool> HasMicrophone();

    // Opens the default microphone and begins a take.
    StartResult Start();
    // Takes in what was captured so far; true once the microphone of the
    // running take stopped on its own (unplugged, or the sound server went
    // away) or no longer answers.
    bool Lost();
    // Ends the take, closes the microphone and returns the take's samples
    // (none if nothing was recording, or the sound system did not answer).
    std::vector<std::int16_t> Stop();

    // An open microphone and what it captured, touched only by jobs.
    struct Take;

private:
    SoundThread& sound_;
    Waiter* waiter_;
    std::shared_ptr<Take> take_;  // while a take runs
};

}  // namespace audio
