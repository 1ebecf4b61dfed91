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
    std::vector<std::int16_t> samples;
};

SdlCapture::SdlCapture(SoundThread& sound, Waiter* waiter) : sound_(sound), waiter_(waiter) {}

SdlCapture::~SdlCapture() { Stop(); }

std::optional<bool> SdlCapture::HasMicrophone()
{
    return sound_.Run([](Audio& audio, JobControl&) { return audio.Devices(Audio::Direction::Capture) > 0; },
                      kOpenBound, waiter_);
}

// The job hands back the take it opened; one whose caller gave up is
// destroyed on the sound thread, which closes its microphone.
StartResult SdlCapture::Start()
{
    if (take_)
        return StartResult::AlreadyRecording;
    auto open = [](Audio& audio, JobControl&) {
        SDL_AudioSpec want{};
        want.freq = speech::kClipRate;
        want.format = AUDIO_S16SYS;
        want.channels = 1;
        want.samples = kDeviceSamples;
        auto take = std::make_shared<Take>();
        // No allowed changes: SDL converts the hardware's format into this one.
        take->device = audio.Open(Audio::Direction::Capture, want);
        if (!take->device)
            return std::shared_ptr<Take>();
        audio.Unpause(take->device);
        return take;
    };
    std::optional<std::shared_ptr<Take>> opened = sound_.Run(open, kOpenBound, waiter_);
    if (!opened)
        return StartResult::NoAnswer;
    take_ = std::move(*opened);
    return take_ ? StartResult::Started : StartResult::NoMicrophone;
}

bool SdlCapture::Lost()
{
    if (!take_)
        return false;
    const std::optional<bool> stopped = sound_.Run(
        [take = take_](Audio& audio, JobControl&) {
            take->Collect(audio);
            return audio.Stopped(take->device);
        },
        kOpenBound, waiter_);
    return stopped.value_or(true);
}

// The take goes to the job, which closes its device; if the job never runs,
// the take's Device closes itself through the sound thread.
std::vector<std::int16_t> SdlCapture::Stop()
{
    if (!take_)
        return {};
    auto stop = [take = std::move(take_)](Audio& audio, JobControl&) {
        take->Collect(audio);
        take->device = {};
        return std::move(take->samples);
    };
    return sound_.Run(std::move(stop), kOpenBound, waiter_).value_or(std::vector<std::int16_t>{});
}

}  // namespace audio
