#pragma once
// Records takes from the default microphone through SDL2's capture device,
// at 22050 Hz mono 16-bit (SDL converts whatever the hardware gives). Every
// call into SDL is a job on the process's sound thread, which the player
// shares; the caller waits for each with a bound, and a driver that does not
// answer in time counts as no microphone. The device is open only while a
// take runs: Start opens it and Stop closes it, handing back everything
// captured since Start. So the desktop shows no microphone in use between
// takes, and a microphone plugged in (or a sound server started) after the
// recorder started is found at the next take.
//
// It does not judge, trim or save a take, and it does not time one: the
// caller decides when a take ends.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "speech/SoundThread.h"

namespace recorder {

enum class StartResult { Started, AlreadyRecording, NoMicrophone };

class SdlCapture {
public:
    // idle: called every few milliseconds while waiting for the sound thread.
    SdlCapture(speech::SoundThread& sound, std::function<void()> idle);
    ~SdlCapture();
    SdlCapture(const SdlCapture&) = delete;
    SdlCapture& operator=(const SdlCapture&) = delete;

    // Whether the sound system lists any microphone now; opens nothing.
    bool HasMicrophone();

    // Opens the default microphone and begins a take.
    StartResult Start();
    // Takes in what was captured so far; true once the microphone of the
    // running take stopped on its own (unplugged, or the sound server went
    // away) or no longer answers.
    bool Lost();
    // Ends the take, closes the microphone and returns the take's samples
    // (none if nothing was recording).
    std::vector<std::int16_t> Stop();

    // The device and its take, touched only by jobs on the sound thread.
    struct Microphone;

private:
    bool Run(std::function<void(Microphone&, speech::Audio&)> work);

    speech::SoundThread& sound_;
    std::function<void()> idle_;
    std::shared_ptr<Microphone> microphone_;
    bool recording_ = false;
};

}  // namespace recorder
