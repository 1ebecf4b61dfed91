#include "SdlClipPlayer.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "WavFile.h"

namespace speech {
namespace {

constexpr Uint16 kDeviceSamples = 512;  // 23 ms: the most a clip may overhang its turn
constexpr SDL_AudioFormat kFormat = AUDIO_S16SYS;
constexpr int kChannels = 1;
constexpr double kBytesPerSecond = double(kClipRate) * kChannels * SDL_AUDIO_BITSIZE(kFormat) / 8;
constexpr auto kWaitStep = std::chrono::milliseconds(5);
// How much longer than its queue takes to play a device may keep it
// before it counts as lost: a safety net for a driver that stops taking
// sound without saying so. A new stream may take a while to start: a
// Bluetooth headset waking up, or PulseAudio's null sink, which starts a
// stream up to 2 s late.
constexpr auto kWaitSlack = std::chrono::milliseconds(3000);
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

std::mutex& SdlDeviceLock()
{
    static std::mutex lock;
    return lock;
}

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

SdlClipPlayer::SdlClipPlayer(VoiceChooser chooseVoice) : chooseVoice_(std::move(chooseVoice))
{
    // SDL would otherwise catch SIGINT and SIGTERM, and the program would
    // ignore Ctrl+C and kill.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Starting the subsystem loads the drivers; the device itself waits
    // for the first clip.
    {
        std::lock_guard lock(mutex_);
        audioInitialised_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    releaser_ = std::thread(&SdlClipPlayer::ReleaseWhenIdle, this);
}

SdlClipPlayer::~SdlClipPlayer()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    releaser_.join();
    // The last clip may still be finishing: let it end, then give the
    // device the time of its last buffer before closing it.
    if (device_ != 0 && WaitUntilQueued(0, false)) {
        SDL_Delay(static_cast<Uint32>(1000.0 * bufferBytes_ / kBytesPerSecond) + 1);
        std::lock_guard lock(mutex_);
        CloseDevice();
    }
    std::lock_guard lock(mutex_);
    if (audioInitialised_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlClipPlayer::PlayReading(std::span<const std::string> clips)
{
    const std::optional<std::filesystem::path> folder = chooseVoice_();
    if (!folder)
        return;
    {
        std::lock_guard lock(mutex_);
        reading_ = true;
    }
    for (const std::string& name : clips) {
        auto file = ReadClipFile(*folder / name);
        auto samples = file ? DecodeClip(std::move(*file)) : std::nullopt;
        if (samples && !samples->empty())
            Play(*samples);
    }
    EndReading();
}

bool SdlClipPlayer::HasDevice() const
{
    std::lock_guard lock(mutex_);
    return device_ != 0;
}

std::uint32_t SdlClipPlayer::QueuedBytes() const
{
    std::lock_guard lock(mutex_);
    return device_ != 0 ? SDL_GetQueuedAudioSize(device_) : 0;
}

// Queues one clip and returns when at most one buffer of it is left.
void SdlClipPlayer::Play(const std::vector<std::uint8_t>& samples)
{
    const bool opening = device_ == 0;
    if (opening && !OpenDevice())
        return;
    if (SDL_GetQueuedAudioSize(device_) == 0)
        Idle();  // let the window show what the caller wrote before the sound starts
    const bool queued = SDL_QueueAudio(device_, samples.data(), static_cast<Uint32>(samples.size())) == 0;
    // A device just opened starts with the clip already queued, so its
    // first buffer is the clip's and not a silent one.
    if (opening)
        SDL_PauseAudioDevice(device_, 0);
    if (queued)
        WaitUntilQueued(bufferBytes_, true);
}

// Opens the default device, paused, unless an open failed too recently. On
// failure the subsystem is stopped: SDL picks its driver only when the
// subsystem starts, so the next try may find a sound server that has come
// up since.
bool SdlClipPlayer::OpenDevice()
{
    std::lock_guard lock(mutex_);
    const auto now = Clock::now();
    if (now < nextOpen_)
        return false;
    if (!audioInitialised_)
        audioInitialised_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    SDL_AudioSpec want{};
    want.freq = kClipRate;
    want.format = kFormat;
    want.channels = kChannels;
    want.samples = kDeviceSamples;
    SDL_AudioSpec have{};
    if (audioInitialised_)
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
        if (!failureReported_)
            std::fprintf(stderr, "%s: no sound: %s\n", program_invocation_short_name, SDL_GetError());
        failureReported_ = true;
        if (audioInitialised_)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioInitialised_ = false;
        nextOpen_ = now + kRetryInterval;
        return false;
    }
    failureReported_ = false;
    bufferBytes_ = have.size;
    return true;
}

// The caller holds the mutex.
void SdlClipPlayer::CloseDevice()
{
    SDL_CloseAudioDevice(device_);
    device_ = 0;
}

// Sleeps in short steps (never spinning) until at most `left` bytes are
// still queued, calling the idle callback between steps when asked to.
// False when the device stopped on its own, or kept its queue far longer
// than it takes to play: it is then closed, and the rest is silent.
bool SdlClipPlayer::WaitUntilQueued(std::uint32_t left, bool callIdle)
{
    const auto bound = Clock::now() + DurationOf(SDL_GetQueuedAudioSize(device_)) + kWaitSlack;
    for (;;) {
        const Uint32 queued = SDL_GetQueuedAudioSize(device_);
        if (SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED || (queued > left && Clock::now() > bound)) {
            std::lock_guard lock(mutex_);
            CloseDevice();
            return false;
        }
        if (queued <= left)
            return true;
        if (callIdle)
            Idle();
        std::this_thread::sleep_for(std::min<Clock::duration>(DurationOf(queued - left), kWaitStep));
    }
}

// The device may close once what is queued has played and kIdleRelease
// has passed with nothing new.
void SdlClipPlayer::EndReading()
{
    {
        std::lock_guard lock(mutex_);
        reading_ = false;
        releaseAt_ = Clock::now() + kIdleRelease + (device_ != 0 ? DurationOf(SDL_GetQueuedAudioSize(device_)) : Clock::duration{});
    }
    changed_.notify_all();
}

// The releasing thread: closes an open device that has been idle long
// enough, never during a reading.
void SdlClipPlayer::ReleaseWhenIdle()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (device_ == 0 || reading_)
            changed_.wait(lock);
        else if (Clock::now() < releaseAt_)
            changed_.wait_until(lock, releaseAt_);
        else
            CloseDevice();
    }
    lock.unlock();
    // SDL keeps per-thread data (its error text) for any thread that calls
    // it; this thread is not SDL's own, so SDL would not free it.
    SDL_TLSCleanup();
}

void SdlClipPlayer::Idle()
{
    if (idle_)
        idle_();
}

}  // namespace speech
