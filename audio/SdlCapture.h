#pragma once
// Records takes from the default microphone at 22050 Hz mono 16-bit (SDL
// converts what the hardware gives). Each call posts a job to the sound
// thread, which answers there (or here at once, with its "no answer", when
// the thread refuses). The microphone is open only from Start to Stop, so
// none shows in use between takes, and one plugged in later is found. A
// microphone whose open returned after the thread was stuck in it is closed
// at once. It neither judges, saves nor times a take.

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

    // Whether any microphone is listed (nothing: no answer).
    void HasMicrophone(std::function<void(std::optional<bool>)> then);
    void Start(std::function<void(StartResult)> then);
    // Takes in what was captured; true once the take's microphone stopped
    // on its own (unplugged, server gone), or on no answer.
    void Lost(std::function<void(bool)> then);
    // Ends the take and closes the microphone: its samples (none if no take
    // ran), or nothing on no answer.
    void Stop(std::function<void(std::optional<Samples>)> then);

    struct Take;  // the microphone and its samples: the jobs' alone

private:
    template <typename T>
    void Post(std::function<void(T)> then, T noAnswer, std::function<T(Audio&, Take&)> work);

    SoundThread& sound_;
    std::shared_ptr<Take> take_;
};

}  // namespace audio
