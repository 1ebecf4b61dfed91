#include "SdlClipPlayer.h"

#include <SDL.h>

#include <algorithm>
#include <memory>

#include "StreamWatch.h"
#include "speech/Clips.h"
#include "speech/WavFile.h"

namespace audio {
namespace {

// 93 ms: SDL's PulseAudio driver asks the server for no more than one
// buffer of latency, and PipeWire's pulse server drops sound from a stream
// kept closer to its own 21 ms cycle than that.
constexpr Uint16 kDeviceSamples = 2048;
constexpr SDL_AudioFormat kFormat = AUDIO_S16SYS;
constexpr int kChannels = 1;
// How long the player's end waits for the last clip to finish.
constexpr auto kFinishBound = std::chrono::milliseconds(300);
// Conversion must not grow a clip past this (255 channels, absurd rates).
constexpr std::size_t kMaxConvertedBytes = 256u << 20;

struct WavBuffer {
    void operator()(Uint8* data) const { SDL_FreeWAV(data); }
};

}  // namespace

std::optional<std::vector<std::uint8_t>> DecodeClip(std::vector<std::uint8_t> file)
{
    if (!speech::KeepPresentFrames(file))
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
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, kFormat, kChannels, speech::kClipRate) < 0)
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
    using Bytes = std::vector<std::uint8_t>;

    void Play(Audio& audio, JobControl& control, std::vector<Bytes> files);
    bool Open(Audio& audio);
    void Close();
    bool DrainUntil(Audio& audio, std::uint32_t left, const JobControl& control);
    void ReleaseIfIdle();
    void Finish(Audio& audio, const JobControl& control);

    Device device;
    std::optional<StreamWatch> watch;  // while the device is open
    Clock::time_point nextOpen;
    Clock::time_point lastSound;
};

// Decodes the clips, queues them all and sleeps until the reading has
// drained to its last buffer, is given up or its device lost; then asks for
// the device to be released once idle. A reading given up leaves nothing to
// be played later, and no device it opened.
void SdlClipPlayer::Speaker::Play(Audio& audio, JobControl& control, std::vector<Bytes> files)
{
    std::vector<Bytes> clips;
    for (Bytes& file : files)
        if (auto decoded = DecodeClip(std::move(file)); decoded && !decoded->empty())
            clips.push_back(std::move(*decoded));
    // SDL drains a disconnected device's queue at its rate, silently: one
    // whose server went away since the last reading is closed and opened
    // afresh rather than fed.
    if (device && audio.Stopped(device))
        Close();
    const bool opening = !device;
    if (clips.empty() || (opening && !Open(audio)))
        return;
    // An open that returned after its caller gave up plays nothing.
    if (control.Abandoned()) {
        if (opening)
            Close();
        return;
    }
    if (opening)
        clips.insert(clips.begin(), Bytes(std::size_t(kBytesPerSecond * kLeadIn.count() / 1000)));
    // Only now is the reading's length worth waiting for.
    const std::uint32_t queued = audio.Queued(device);
    std::uint64_t total = queued;
    for (const Bytes& clip : clips)
        total += clip.size();
    const auto now = Clock::now();
    watch->Resume(now, queued);
    control.WaitAtMost(watch->PlayedBy(now, static_cast<std::uint32_t>(total)) - now);
    // The whole reading is queued at once: the driver's own thread then
    // chains the clips, so a late wake-up here can never leave a gap.
    bool lost = false;
    for (const Bytes& clip : clips) {
        lost = lost || !audio.Queue(device, clip);
        watch->Added(static_cast<std::uint32_t>(clip.size()));
    }
    // A device just opened starts with its lead-in and the reading already
    // queued, so nothing of SDL's own comes between them.
    if (opening && !lost)
        audio.Unpause(device);
    lost = lost || !DrainUntil(audio, 0, control);
    if (lost)
        audio.Lost();
    if (lost || (opening && control.Abandoned())) {
        Close();
        return;
    }
    if (control.Abandoned())
        audio.ClearQueue(device);
    lastSound = Clock::now() + DurationOf(audio.Queued(device));
    control.Later(lastSound + kIdleRelease, [self = shared_from_this()](Audio&, JobControl&) { self->ReleaseIfIdle(); });
}

// Opens the default device, paused, unless an open failed too recently.
bool SdlClipPlayer::Speaker::Open(Audio& audio)
{
    const auto now = Clock::now();
    if (now < nextOpen)
        return false;
    SDL_AudioSpec want{};
    want.freq = speech::kClipRate;
    want.format = kFormat;
    want.channels = kChannels;
    want.samples = kDeviceSamples;
    device = audio.Open(Audio::Direction::Playback, want);
    if (!device) {
        nextOpen = now + kRetryInterval;
        return false;
    }
    watch.emplace(now);
    return true;
}

// Closing drops whatever is still queued.
void SdlClipPlayer::Speaker::Close()
{
    device = {};
    watch.reset();
}

// Asleep until at most `left` bytes are still queued, waking when the queue
// can have drained that far at the playback rate or when the watch's verdict
// is due. False when the device is lost. Ends at once, with true, when the
// caller has given up.
bool SdlClipPlayer::Speaker::DrainUntil(Audio& audio, std::uint32_t left, const JobControl& control)
{
    for (;;) {
        const auto now = Clock::now();
        const std::uint32_t queued = audio.Queued(device);
        // Every look goes to the watch, the last before the next clip is
        // queued too: what drained up to then is progress.
        const bool lost = watch->Lost(now, queued) || audio.Stopped(device);
        if (queued <= left || control.Abandoned())
            return true;
        if (lost)
            return false;
        // SDL takes whole buffers: never less than a part of one.
        const auto drained = now + std::max(DurationOf(queued - left), DurationOf(device.BufferBytes() / 8));
        control.SleepUntil(std::min(drained, watch->Verdict()));
    }
}

// Closes the device once kIdleRelease has passed since its last sound; a
// later reading asks again for its own release.
void SdlClipPlayer::Speaker::ReleaseIfIdle()
{
    if (device && Clock::now() >= lastSound + kIdleRelease)
        Close();
}

// Lets what is queued play out, and the device its last buffer, then
// closes it.
void SdlClipPlayer::Speaker::Finish(Audio& audio, const JobControl& control)
{
    if (!device)
        return;
    const auto end = Clock::now() + DurationOf(audio.Queued(device));
    control.SleepUntil(std::min(end, Clock::now() + kFinishBound) + DurationOf(device.BufferBytes()) +
                       std::chrono::milliseconds(1));
    Close();
}

SdlClipPlayer::SdlClipPlayer(SoundThread& sound, VoiceChooser chooseVoice, Waiter* waiter)
    : sound_(sound), chooseVoice_(std::move(chooseVoice)), waiter_(waiter), speaker_(std::make_shared<Speaker>())
{
}

SdlClipPlayer::~SdlClipPlayer()
{
    sound_.Run([speaker = speaker_](Audio& audio, JobControl& control) { speaker->Finish(audio, control); },
               kFinishBound + std::chrono::milliseconds(100));
}

// Reads the clip files here; decoding, like every SDL call, is the sound
// thread's. A word's form that the voice lacks is said in the word's own
// clip.
void SdlClipPlayer::PlayReading(std::span<const std::string> clips)
{
    const std::optional<std::filesystem::path> folder = chooseVoice_();
    if (!folder)
        return;
    std::vector<Speaker::Bytes> files;
    for (const std::string& name : clips) {
        auto file = speech::ReadClipFile(*folder / name);
        if (const std::string_view word = speech::WordOfForm(name); !file && word != name)
            file = speech::ReadClipFile(*folder / word);
        if (file)
            files.push_back(std::move(*file));
    }
    if (files.empty())
        return;
    auto job = [speaker = speaker_, files = std::move(files)](Audio& audio, JobControl& control) mutable {
        speaker->Play(audio, control, std::move(files));
    };
    sound_.Run(std::move(job), kOpenBound, waiter_);
}

}  // namespace audio
