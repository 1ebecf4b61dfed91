#include "SdlCapture.h"

#include <SDL.h>

#include "speech/WavFile.h"

namespace recorder {
namespace {

constexpr Uint16 kDeviceSamples = 512;

}  // namespace

struct SdlCapture::Microphone {
    // Moves what the device has captured so far onto the end of the take.
    void Collect()
    {
        for (;;) {
            std::int16_t buffer[4096];
            const Uint32 got = SDL_DequeueAudio(device, buffer, sizeof buffer);
            if (got == 0)
                return;
            take.insert(take.end(), buffer, buffer + got / sizeof buffer[0]);
        }
    }

    void Close(speech::Audio& audio)
    {
        if (device != 0)
            audio.Close(device);
        device = 0;
    }

    std::uint32_t device = 0;
    std::vector<std::int16_t> take;
};

SdlCapture::SdlCapture(speech::SoundThread& sound, std::function<void()> idle)
    : sound_(sound), idle_(std::move(idle)), microphone_(std::make_shared<Microphone>())
{
}

SdlCapture::~SdlCapture()
{
    Stop();
}

// Runs work on the sound thread with the microphone; false when the thread
// did not answer in time.
bool SdlCapture::Run(std::function<void(Microphone&, speech::Audio&)> work)
{
    auto job = [microphone = microphone_, work = std::move(work)](speech::Audio& audio, speech::JobControl&) {
        work(*microphone, audio);
    };
    return sound_.Run(job, speech::kOpenBound, idle_);
}

bool SdlCapture::HasMicrophone()
{
    const auto found = std::make_shared<bool>(false);
    Run([found](Microphone&, speech::Audio& audio) { *found = audio.Devices(speech::Audio::Direction::Capture) > 0; });
    return *found;
}

StartResult SdlCapture::Start()
{
    if (recording_)
        return StartResult::AlreadyRecording;
    const auto opened = std::make_shared<bool>(false);
    Run([opened](Microphone& microphone, speech::Audio& audio) {
        SDL_AudioSpec want{};
        want.freq = speech::kClipRate;
        want.format = AUDIO_S16SYS;
        want.channels = 1;
        want.samples = kDeviceSamples;
        SDL_AudioSpec have{};
        // No allowed changes: SDL converts the hardware's format into this one.
        microphone.device = audio.Open(speech::Audio::Direction::Capture, want, have);
        microphone.take.clear();
        if (microphone.device != 0)
            SDL_PauseAudioDevice(microphone.device, 0);
        *opened = microphone.device != 0;
    });
    recording_ = *opened;
    return recording_ ? StartResult::Started : StartResult::NoMicrophone;
}

bool SdlCapture::Lost()
{
    if (!recording_)
        return false;
    const auto lost = std::make_shared<bool>(true);
    Run([lost](Microphone& microphone, speech::Audio&) {
        microphone.Collect();
        *lost = SDL_GetAudioDeviceStatus(microphone.device) == SDL_AUDIO_STOPPED;
    });
    return *lost;
}

std::vector<std::int16_t> SdlCapture::Stop()
{
    if (!recording_)
        return {};
    recording_ = false;
    const auto take = std::make_shared<std::vector<std::int16_t>>();
    Run([take](Microphone& microphone, speech::Audio& audio) {
        microphone.Collect();
        microphone.Close(audio);
        *take = std::move(microphone.take);
    });
    return std::move(*take);
}

}  // namespace recorder
