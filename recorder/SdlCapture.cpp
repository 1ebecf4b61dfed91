#include "SdlCapture.h"

#include <SDL.h>

#include <mutex>

#include "speech/SdlClipPlayer.h"
#include "speech/WavFile.h"

namespace recorder {
namespace {

constexpr Uint16 kDeviceSamples = 512;

}  // namespace

SdlCapture::SdlCapture()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    std::lock_guard lock(speech::SdlDeviceLock());
    audioInitialised_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

SdlCapture::~SdlCapture()
{
    Stop();
    std::lock_guard lock(speech::SdlDeviceLock());
    if (audioInitialised_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlCapture::HasMicrophone() const
{
    std::lock_guard lock(speech::SdlDeviceLock());
    return audioInitialised_ && SDL_GetNumAudioDevices(1) > 0;
}

bool SdlCapture::Start()
{
    if (device_ != 0)
        return false;
    std::lock_guard lock(speech::SdlDeviceLock());
    if (!audioInitialised_)
        audioInitialised_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    SDL_AudioSpec want{};
    want.freq = speech::kClipRate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = kDeviceSamples;
    SDL_AudioSpec have{};
    // No allowed changes: SDL converts the hardware's format into this one.
    if (audioInitialised_)
        device_ = SDL_OpenAudioDevice(nullptr, 1, &want, &have, 0);
    if (device_ == 0) {
        // SDL picks its driver only when the subsystem starts: the next try
        // starts it afresh, and may find a sound server that came up since.
        if (audioInitialised_)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioInitialised_ = false;
        return false;
    }
    take_.clear();
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

bool SdlCapture::Lost() const
{
    return device_ != 0 && SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED;
}

std::vector<std::int16_t> SdlCapture::Stop()
{
    if (device_ == 0)
        return {};
    Collect();
    std::lock_guard lock(speech::SdlDeviceLock());
    SDL_CloseAudioDevice(device_);
    device_ = 0;
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
