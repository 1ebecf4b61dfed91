#include "SdlClipPlayer.h"

#include <SDL.h>

#include <algorithm>
#include <memory>
#include <thread>

#include "WavFile.h"

namespace speech {
namespace {

constexpr Uint16 kDeviceSamples = 512;  // 23 ms: the most a clip may overhang its turn
constexpr SDL_AudioFormat kFormat = AUDIO_S16SYS;
constexpr int kChannels = 1;
constexpr double kBytesPerSecond = double(kClipRate) * kChannels * SDL_AUDIO_BITSIZE(kFormat) / 8;
constexpr auto kWaitStep = std::chrono::milliseconds(5);
// How long the player's end waits for the last clip to finish.
constexpr auto kFinishBound = std::chrono::milliseconds(300);
// Conversion must not grow a clip past this (255 channels, absurd rates).
constexpr std::size_t kMaxConvertedBytes = 256u << 20;

struct WavBuffer {
    void operator()(Uint8* data) const { SDL_FreeWAV(data); }
};

std::chrono::steady_clock::duration DurationOf(std::uint32_t bytes)
{
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(bytes / kBytesPerSecond));
}

}  // namespace

std::optional<std::vector<std::uint8_t>> DecodeClip(std::vector<std::uint8_t> file)
{
    if (!KeepPresentFrames(file))
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
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, kFormat, kChannels, kClipRate) < 0)
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
    const std::size_t frameBytes = SDL_AUDIO_BITSIZE(kFormat) / 8 * kChannels;
    out.resize(out.size() / frameBytes * frameBytes);
    return out;
}

struct SdlClipPlayer::Speaker : std::enable_shared_from_this<Speaker> {
    using Clips = std::vector<std::vector<std::uint8_t>>;

    void Play(Audio& audio, JobControl& control, const Clips& clips);
    bool Open(Audio& audio);
    void Close(Audio& audio);
    bool DrainUntil(std::uint32_t left, JobControl& control);
    void ReleaseIfIdle(Audio& audio);
    void Finish(Audio& audio);

    std::uint32_t device = 0;
    std::uint32_t bufferBytes = 0;  // SDL takes this much per device callback
    bool draining = false;          // the device's queue has been seen to drain
    Clock::time_point nextOpen;
    Clock::time_point lastSound;
};

// Queues the clips one after another, each once at most one buffer of the
// one before is left, until the reading is done, given up or its device
// lost; then asks for the device to be released once idle.
void SdlClipPlayer::Speaker::Play(Audio& audio, JobControl& control, const Clips& clips)
{
    const bool opening = device == 0;
    if (opening && !Open(audio))
        return;
    std::uint32_t total = SDL_GetQueuedAudioSize(device);
    for (const auto& clip : clips)
        total += static_cast<std::uint32_t>(clip.size());
    control.WaitAtMost(DurationOf(total) + kStartGrace + kStallLimit);
    bool lost = false;
    for (std::size_t i = 0; i < clips.size() && !lost && !control.Abandoned(); ++i) {
        const bool queued = SDL_QueueAudio(device, clips[i].data(), static_cast<Uint32>(clips[i].size())) == 0;
        // A device just opened starts with the clip already queued, so its
        // first buffer is the clip's and not a silent one.
        if (opening && i == 0)
            SDL_PauseAudioDevice(device, 0);
        lost = !queued || !DrainUntil(bufferBytes, control);
    }
    if (lost) {
        Close(audio);
        return;
    }
    if (control.Abandoned())
        SDL_ClearQueuedAudio(device);  // given up: never heard later
    lastSound = Clock::now() + DurationOf(SDL_GetQueuedAudioSize(device));
    control.Later(lastSound + kIdleRelease, [self = shared_from_this()](Audio& a, JobControl&) { self->ReleaseIfIdle(a); });
}

// Opens the default device, paused, unless an open failed too recently.
bool SdlClipPlayer::Speaker::Open(Audio& audio)
{
    const auto now = Clock::now();
    if (now < nextOpen)
        return false;
    SDL_AudioSpec want{};
    want.freq = kClipRate;
    want.format = kFormat;
    want.channels = kChannels;
    want.samples = kDeviceSamples;
    SDL_AudioSpec have{};
    device = audio.Open(Audio::Direction::Playback, want, have);
    if (device == 0) {
        nextOpen = now + kRetryInterval;
        return false;
    }
    bufferBytes = have.size;
    draining = false;
    return true;
}

void SdlClipPlayer::Speaker::Close(Audio& audio)
{
    SDL_ClearQueuedAudio(device);
    audio.Close(device);
    device = 0;
}

// Sleeps in short steps until at most `left` bytes are still queued. False
// when the device is lost: it stopped on its own, its queue did not start
// to drain within kStartGrace, or stopped draining for kStallLimit. Ends at
// once, with true, when the caller has given up.
bool SdlClipPlayer::Speaker::DrainUntil(std::uint32_t left, JobControl& control)
{
    Uint32 last = SDL_GetQueuedAudioSize(device);
    auto progress = Clock::now();
    for (;;) {
        const Uint32 queued = SDL_GetQueuedAudioSize(device);
        if (queued <= left || control.Abandoned())
            return true;
        const auto now = Clock::now();
        if (queued < last) {
            draining = true;
            progress = now;
        }
        last = queued;
        if (SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_STOPPED || now - progress > (draining ? kStallLimit : kStartGrace))
            return false;
        std::this_thread::sleep_for(std::min<Clock::duration>(DurationOf(queued - left), kWaitStep));
    }
}

// Closes the device once kIdleRelease has passed since its last sound; a
// later reading asks again for its own release.
void SdlClipPlayer::Speaker::ReleaseIfIdle(Audio& audio)
{
    if (device != 0 && Clock::now() >= lastSound + kIdleRelease)
        Close(audio);
}

// Lets what is queued play out, and the device its last buffer, then
// closes it.
void SdlClipPlayer::Speaker::Finish(Audio& audio)
{
    if (device == 0)
        return;
    const auto end = Clock::now() + kFinishBound;
    while (SDL_GetQueuedAudioSize(device) > 0 && Clock::now() < end)
        std::this_thread::sleep_for(kWaitStep);
    std::this_thread::sleep_for(DurationOf(bufferBytes) + std::chrono::milliseconds(1));
    Close(audio);
}

SdlClipPlayer::SdlClipPlayer(SoundThread& sound, VoiceChooser chooseVoice)
    : sound_(sound), chooseVoice_(std::move(chooseVoice)), speaker_(std::make_shared<Speaker>())
{
}

SdlClipPlayer::~SdlClipPlayer()
{
    sound_.Run([speaker = speaker_](Audio& audio, JobControl&) { speaker->Finish(audio); },
               kFinishBound + std::chrono::milliseconds(100));
}

void SdlClipPlayer::PlayReading(std::span<const std::string> clips)
{
    const std::optional<std::filesystem::path> folder = chooseVoice_();
    if (!folder)
        return;
    Speaker::Clips samples;
    for (const std::string& name : clips) {
        auto file = ReadClipFile(*folder / name);
        auto decoded = file ? DecodeClip(std::move(*file)) : std::nullopt;
        if (decoded && !decoded->empty())
            samples.push_back(std::move(*decoded));
    }
    if (samples.empty())
        return;
    if (idle_)
        idle_();  // let the window show what the caller wrote before the sound starts
    auto job = [speaker = speaker_, samples = std::make_shared<Speaker::Clips>(std::move(samples))](
                   Audio& audio, JobControl& control) { speaker->Play(audio, control, *samples); };
    sound_.Run(job, kOpenBound, idle_);
}

std::optional<bool> SdlClipPlayer::HasDevice() const
{
    const auto open = std::make_shared<bool>();
    if (!sound_.Run([open, speaker = speaker_](Audio&, JobControl&) { *open = speaker->device != 0; }, kOpenBound))
        return std::nullopt;
    return *open;
}

std::optional<std::uint32_t> SdlClipPlayer::QueuedBytes() const
{
    const auto queued = std::make_shared<std::uint32_t>();
    auto ask = [queued, speaker = speaker_](Audio&, JobControl&) {
        *queued = speaker->device != 0 ? SDL_GetQueuedAudioSize(speaker->device) : 0;
    };
    if (!sound_.Run(ask, kOpenBound))
        return std::nullopt;
    return *queued;
}

}  // namespace speech
