#pragma once
// Records takes from the default microphone through SDL2's capture device,
// at 22050 Hz mono 16-bit (SDL converts whatever the hardware gives). Every
// call into SDL is a job on the process's sound thread, which the player
// shares; each answers on the sound thread (at once on the caller's, with
// its "no answer", when the thread refuses the job). The device is open only
// while a take runs: Start opens it and Stop closes it, handing back
// everything captured since Start. So the desktop shows no microphone in use
// between takes, and a microphone plugged in (or a sound server started)
// after the recorder started is found at the next take.
//
// A sound system that does not answer is told apart from one that has no
// microphone. A microphone whose open returned after the sound thread was
// stuck in it is closed at once, so none stays open that no take uses.
//
// It does not judge, trim or save a take, and it does not time one: the
// caller decides when a take ends.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "SoundThread.h"

namespace audio {

enum class StartResult { Started, AlreadyRecording, NoMicrophone, NoAnswer };
using Samples = std::vector<std::int16_t>;

class SdlCapture {
public:
    explicit SdlCapture(SoundThread& sound);
    SdlCapture(const SdlCapture&) = delete;
    SdlCapture& operator=(const SdlCapture&) = delete;

    // Whether the sound system lists any microphone now (opening nothing);
    // nothing when it does not answer.
    void HasMicrophone(std::function<void(std::optional<bool>)> then);
    // Opens the default microphone and begins a take.
    void Start(std::function<void(StartResult)> then);
    // Takes in what was captured so far; true once the microphone of the
    // running take stopped on its own (unplugged, or the sound server went
    // away), or when there is no answer.
    void Lost(std::function<void(bool)> then);
    // Ends the take, closes the microphone and answers the take's samples
    // (none if nothing was recording); nothing when there is no answer.
    void Stop(std::function<void(std::optional<Samples>)> then);

    // The open microphone and what it captured, touched only by jobs.
    struct Take;

private:
    template <typename T>
    void Post(std::function<void(T)> then, T noAnswer, std::function<T(Audio&, const JobControl&, Take&)> work);

    SoundThread& sound_;
    std::shared_ptr<Take> take_;
};

}  // namespace audio
