#include "SdlCapture.h"

#include <SDL.h>

#include "speech/WavFile.h"

namespace audio {
namespace {

constexpr Uint16 kDeviceSamples = 512;

}  // namespace

struct SdlCapture::Take {
    // Moves what the device has captured so far onto the end of the take.
    void Collect(Audio& audio)
    {
        std::int16_t buffer[2048];
        while (const std::size_t got = audio.Dequeue(device, buffer))
            samples.insert(samples.end(), buffer, buffer + got);
    }

    Device device;
    Samples samples;
};

SdlCapture::SdlCapture(SoundThread& sound) : sound_(sound), take_(std::make_shared<Take>()) {}

// Runs work on the sound thread, with the take, and answers what it returns.
template <typename T>
void SdlCapture::Post(std::function<void(T)> then, T noAnswer,
                      std::function<T(Audio&, const JobControl&, Take&)> work)
{
    auto answer = std::make_shared<Answer<T>>(std::move(then), std::move(noAnswer));
    sound_.Post([take = take_, answer, work = std::move(work)](Audio& audio, JobControl& control) {
        (*answer)(work(audio, control, *take));
    });
}

void SdlCapture::HasMicrophone(std::function<void(std::optional<bool>)> then)
{
    Post<std::optional<bool>>(std::move(then), std::nullopt, [](Audio& audio, const JobControl&, Take&) {
        return std::optional<bool>(audio.Devices(Audio::Direction::Capture) > 0);
    });
}

void SdlCapture::Start(std::function<void(StartResult)> then)
{
    Post<StartResult>(std::move(then), StartResult::NoAnswer, [](Audio& audio, const JobControl& control, Take& take) {
        if (take.device)
            return StartResult::AlreadyRecording;
        SDL_AudioSpec want{};
        want.freq = speech::kClipRate;
        want.format = AUDIO_S16SYS;
        want.channels = 1;
        want.samples = kDeviceSamples;
        // No allowed changes: SDL converts the hardware's format into this one.
        take.device = audio.Open(Audio::Direction::Capture, want);
        take.samples.clear();
        if (!take.device)
            return StartResult::NoMicrophone;
        if (!control.Wanted()) {
            take.device = {};  // opened too late: its caller was told there was no answer
            return StartResult::NoAnswer;
        }
        audio.Unpause(take.device);
        return StartResult::Started;
    });
}

void SdlCapture::Lost(std::function<void(bool)> then)
{
    Post<bool>(std::move(then), true, [](Audio& audio, const JobControl&, Take& take) {
        if (!take.device)
            return false;
        take.Collect(audio);
        return audio.Stopped(take.device);
    });
}

void SdlCapture::Stop(std::function<void(std::optional<Samples>)> then)
{
    Post<std::optional<Samples>>(std::move(then), std::nullopt, [](Audio& audio, const JobControl&, Take& take) {
        if (!take.device)
            return std::optional<Samples>(Samples{});
        take.Collect(audio);
        take.device = {};
        return std::optional<Samples>(std::move(take.samples));
    });
}

}  // namespace audio
