#include "SdlCapture.h"

#include <SDL.h>

#include "speech/WavFile.h"

namespace recorder {
namespace {

constexpr Uint16 kDeviceSamples = 512;

}  // namespace

SdlCapture::SdlCapture()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return;
    audioInitialised_ = true;
    SDL_AudioSpec want{};
    want.freq = speech::kClipRate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = kDeviceSamples;
    SDL_AudioSpec have{};
    // No allowed changes: SDL converts the hardware's format into this one.
    device_ = SDL_OpenAudioDevice(nullptr, 1, &want, &have, 0);
}

SdlCapture::~SdlCapture()
{
    if (device_ != 0)
        SDL_CloseAudioDevice(device_);
    if (audioInitialised_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

CaptureState SdlCapture::State() const
{
    if (device_ == 0)
        return CaptureState::NoDevice;
    if (SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED)
        return CaptureState::Failed;
    return recording_ ? CaptureState::Recording : CaptureState::Ready;
}

bool SdlCapture::Start()
{
    if (State() != CaptureState::Ready)
        return false;
    SDL_ClearQueuedAudio(device_);
    take_.clear();
    recording_ = true;
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

std::vector<std::int16_t> SdlCapture::Stop()
{
    if (!recording_)
        return {};
    SDL_PauseAudioDevice(device_, 1);
    Collect();
    recording_ = false;
    return std::move(take_);
}

// Moves what the device has captured so far onto the end of the take.
void SdlCapture::Collect()
{
    for (;;) {
        std::int16_t buffer[4096];
        const Uint32 got = SDL_DequeueAudio(device_, buffer, sizeof buffer);
        if (got == 0)
            return;
        take_.insert(take_.end(), buffer, buffer + got / sizeof buffer[0]);
    }
}

}  // namespace recorder
