#include "SdlCapture.h"

#include <SDL.h>

#include "speech/WavFile.h"

namespace audio {
namespace {

constexpr Uint16 kDeviceSamples = 512;

}  // namespace

struct SdlCapture::Take {
    void Collect(Audio& audio)  // what the device captured so far
    {
        std::int16_t buffer[2048];
        while (const std::size_t got = audio.Dequeue(device, buffer))
            samples.insert(samples.end(), buffer, buffer + got);
    }

    Device device;
    Samples samples;
};

SdlCapture::SdlCapture(SoundThread& sound) : sound_(sound), take_(std::make_shared<Take>()) {}

template <typename T>
void SdlCapture::Post(std::function<void(T)> then, T noAnswer, std::function<T(Audio&, Take&)> work)
{
    auto answer = std::make_shared<Answer<T>>(std::move(then), std::move(noAnswer));
    sound_.Post([take = take_, answer, work = std::move(work)](Audio& audio) {
        (*answer)(work(audio, *take));
    });
}

void SdlCapture::HasMicrophone(std::function<void(std::optional<bool>)> then)
{
    Post<std::optional<bool>>(std::move(then), std::nullopt, [](Audio& audio, Take&) {
        return std::optional(audio.Devices(Audio::Direction::Capture) > 0);
    });
}

void SdlCapture::Start(std::function<void(StartResult)> then)
{
    Post<StartResult>(std::move(then), StartResult::NoAnswer, [](Audio& audio, Take& take) {
        if (take.device)
            return StartResult::AlreadyRecording;
        SDL_AudioSpec want{};
        want.freq = speech::kClipRate;
        want.format = AUDIO_S16SYS;
        want.channels = 1;
        want.samples = kDeviceSamples;
        take.device = audio.Open(Audio::Direction::Capture, want);
        take.samples.clear();
        if (take.device && !audio.Wanted())
            take.device = {};  // its caller was told there was no answer
        else if (take.device)
            audio.Unpause(take.device);
        return take.device ? StartResult::Started : audio.Wanted() ? StartResult::NoMicrophone : StartResult::NoAnswer;
    });
}

void SdlCapture::Lost(std::function<void(bool)> then)
{
    Post<bool>(std::move(then), true, [](Audio& audio, Take& take) {
        return take.device && (take.Collect(audio), audio.Stopped(take.device));
    });
}

void SdlCapture::Stop(std::function<void(std::optional<Samples>)> then)
{
    Post<std::optional<Samples>>(std::move(then), std::nullopt, [](Audio& audio, Take& take) {
        if (take.device)
            take.Collect(audio);
        take.device = {};
        return std::optional(std::exchange(take.samples, {}));
    });
}

}  // namespace audio
