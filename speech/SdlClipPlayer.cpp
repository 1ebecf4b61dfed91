#include "SdlClipPlayer.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "WavFile.h"

namespace speech {
namespace {

constexpr Uint16 kDeviceSamples = 512;  // 23 ms: the most a clip may overhang PlayClip
constexpr auto kWaitStep = std::chrono::milliseconds(5);
// Conversion must not grow a clip past this (255 channels, absurd rates).
constexpr std::size_t kMaxConvertedBytes = 256u << 20;

struct WavBuffer {
    void operator()(Uint8* data) const { SDL_FreeWAV(data); }
};

}  // namespace

SdlClipPlayer::SdlClipPlayer()
{
    // SDL would otherwise catch SIGINT and SIGTERM, and the program would
    // ignore Ctrl+C and kill.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return;
    audioInitialised_ = true;

    SDL_AudioSpec want{};
    want.freq = kClipRate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = kDeviceSamples;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0)
        return;
    sampleRate_ = have.freq;
    format_ = have.format;
    channels_ = have.channels;
    bufferBytes_ = have.size;
    SDL_PauseAudioDevice(device_, 0);
}

SdlClipPlayer::~SdlClipPlayer()
{
    if (device_ != 0) {
        // The last clip may still be finishing: let it end, then give the
        // device the time of its last buffer before closing it.
        WaitUntilQueued(0, false);
        SDL_Delay(static_cast<Uint32>(1000.0 * bufferBytes_ / BytesPerSecond()) + 1);
        SDL_CloseAudioDevice(device_);
    }
    if (audioInitialised_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::optional<std::vector<std::uint8_t>> SdlClipPlayer::Decode(const std::string& fileName) const
{
    if (device_ == 0 || !folder_)
        return std::nullopt;
    auto file = ReadClipFile(*folder_ / fileName);
    if (!file)
        return std::nullopt;
    return DecodeBytes(std::move(*file));
}

std::optional<std::vector<std::uint8_t>> SdlClipPlayer::DecodeBytes(std::vector<std::uint8_t> file) const
{
    if (device_ == 0 || !KeepPresentFrames(file))
        return std::nullopt;

    SDL_AudioSpec spec{};
    Uint8* raw = nullptr;
    Uint32 rawLength = 0;
    SDL_RWops* source = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
    if (!SDL_LoadWAV_RW(source, 1, &spec, &raw, &rawLength))
        return std::nullopt;
    std::unique_ptr<Uint8, WavBuffer> samples(raw);

    // SDL_BuildAudioCVT keeps a resampled clip's full length; SDL_AudioStream
    // drops its tail.
    SDL_AudioCVT cvt{};
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, format_,
                          static_cast<Uint8>(channels_), sampleRate_) < 0)
        return std::nullopt;
    const std::size_t workBytes = std::size_t{rawLength} * static_cast<std::size_t>(std::max(cvt.len_mult, 1));
    if (rawLength == 0 || workBytes > kMaxConvertedBytes)
        return std::vector<std::uint8_t>{};  // an empty clip plays nothing
    std::vector<std::uint8_t> out(workBytes);
    std::copy_n(raw, rawLength, out.begin());
    if (cvt.needed) {
        cvt.buf = out.data();
        cvt.len = static_cast<int>(rawLength);
        if (SDL_ConvertAudio(&cvt) != 0)
            return std::nullopt;
        out.resize(static_cast<std::size_t>(cvt.len_cvt));
    }
    // Whole sample frames only, so a clip never leaves the next one misaligned.
    const std::size_t frameBytes = SDL_AUDIO_BITSIZE(format_) / 8 * static_cast<std::size_t>(channels_);
    out.resize(out.size() / frameBytes * frameBytes);
    return out;
}

void SdlClipPlayer::PlayClip(const std::string& fileName)
{
    auto clip = Decode(fileName);
    if (!clip || clip->empty())
        return;
    if (SDL_GetQueuedAudioSize(device_) == 0)
        Idle();  // let the window show what the caller wrote before the sound starts
    if (SDL_QueueAudio(device_, clip->data(), static_cast<Uint32>(clip->size())) != 0)
        return;
    WaitUntilQueued(bufferBytes_, true);
}

std::uint32_t SdlClipPlayer::QueuedBytes() const
{
    return device_ != 0 ? SDL_GetQueuedAudioSize(device_) : 0;
}

double SdlClipPlayer::BytesPerSecond() const
{
    return double(sampleRate_) * channels_ * SDL_AUDIO_BITSIZE(format_) / 8;
}

// Sleeps in short steps (never spinning) until at most `left` bytes are
// still queued, calling the idle callback between steps when asked to.
void SdlClipPlayer::WaitUntilQueued(std::uint32_t left, bool callIdle)
{
    using namespace std::chrono;
    for (;;) {
        Uint32 queued = SDL_GetQueuedAudioSize(device_);
        if (queued <= left)
            return;
        if (callIdle)
            Idle();
        auto untilLeft = duration<double>((queued - left) / BytesPerSecond());
        std::this_thread::sleep_for(std::min<duration<double>>(untilLeft, kWaitStep));
    }
}

void SdlClipPlayer::Idle()
{
    if (idle_)
        idle_();
}

}  // namespace speech
