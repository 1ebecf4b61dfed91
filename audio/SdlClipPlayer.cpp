#include "SdlClipPlayer.h"

#include <SDL.h>

#include <algorithm>
#include <memory>

#include "StreamWatch.h"
#include "speech/Clips.h"
#include "speech/WavFile.h"

namespace audio {
namespace {

// 93 ms: SDL's PulseAudio driver asks for one buffer of latency, and
// PipeWire's pulse server drops sound from a stream kept near its 21 ms cycle.
constexpr Uint16 kDeviceSamples = 2048;
constexpr SDL_AudioFormat kFormat = AUDIO_S16SYS;
constexpr int kChannels = 1;
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

    // SDL_AudioStream would drop a resampled clip's tail.
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

    // How a reading went on its device: Unheard when none of it was taken.
    enum class Outcome { Played, Cut, Unheard };

    speech::SoundEnd Play(Audio& audio, std::vector<Bytes> files);
    Outcome QueueAndDrain(Audio& audio, const std::vector<Bytes>& clips, bool opening);
    bool Open(Audio& audio);
    void Close();
    bool Drain(Audio& audio, Clock::time_point deadline);
    void ReleaseIfIdle();

    Device device;
    std::optional<StreamWatch> watch;  // while the device is open
    Clock::time_point nextOpen;
    Clock::time_point lastSound;
};

// SDL drains a disconnected device's queue at its rate, silently: one whose
// server went away since the last reading is opened afresh, not fed. SDL's
// PipeWire driver does not say so, and never drains: a reading that a held
// device took none of is played again, whole, on a new one.
speech::SoundEnd SdlClipPlayer::Speaker::Play(Audio& audio, std::vector<Bytes> files)
{
    std::vector<Bytes> clips;
    for (Bytes& file : files)
        if (auto decoded = DecodeClip(std::move(file)); decoded && !decoded->empty())
            clips.push_back(std::move(*decoded));
    if (device && audio.Stopped(device))
        Close();
    if (clips.empty())
        return speech::SoundEnd::NoSound;
    for (bool again = false;; again = true) {
        const bool opening = !device;
        if (!audio.Wanted() || (opening && !Open(audio)))
            return speech::SoundEnd::NoSound;
        // An open that returned past its bound: the reading is no longer wanted.
        if (!audio.Wanted()) {
            Close();
            return speech::SoundEnd::NoSound;
        }
        const Outcome outcome = QueueAndDrain(audio, clips, opening);
        if (outcome == Outcome::Played)
            return speech::SoundEnd::Played;
        audio.Lost();
        Close();
        if (outcome == Outcome::Cut || opening || again)
            return speech::SoundEnd::Cut;
    }
}

// Queues the reading, after the lead-in on a new device, and sleeps until it
// has drained, its device is lost, or it is past when it can have played.
SdlClipPlayer::Speaker::Outcome SdlClipPlayer::Speaker::QueueAndDrain(Audio& audio,
                                                                      const std::vector<Bytes>& clips, bool opening)
{
    const Bytes leadIn(opening ? std::size_t(kBytesPerSecond * kLeadIn.count() / 1000) : 0);
    std::vector<std::span<const std::uint8_t>> parts(clips.begin(), clips.end());
    if (opening)
        parts.insert(parts.begin(), leadIn);
    const std::uint32_t queued = audio.Queued(device);
    std::uint64_t total = queued;
    for (const auto part : parts)
        total += part.size();
    const auto now = Clock::now();
    watch->Resume(now, queued);
    const auto playedBy = watch->PlayedBy(now, static_cast<std::uint32_t>(total));
    bool lost = false;
    for (const auto part : parts) {
        lost = lost || !audio.Queue(device, part);
        watch->Added(static_cast<std::uint32_t>(part.size()));
    }
    // Nothing of SDL's own comes before the lead-in.
    if (opening && !lost)
        audio.Unpause(device);
    if (lost)
        return Outcome::Cut;
    if (!Drain(audio, playedBy))
        return audio.Queued(device) >= total ? Outcome::Unheard : Outcome::Cut;
    lastSound = Clock::now() + DurationOf(device.BufferBytes());
    audio.Later(lastSound + kIdleRelease, [self = shared_from_this()](Audio&) { self->ReleaseIfIdle(); });
    return Outcome::Played;
}

// The stream's start is watched from the open's return.
bool SdlClipPlayer::Speaker::Open(Audio& audio)
{
    if (Clock::now() < nextOpen)
        return false;
    SDL_AudioSpec want{};
    want.freq = speech::kClipRate;
    want.format = kFormat;
    want.channels = kChannels;
    want.samples = kDeviceSamples;
    device = audio.Open(Audio::Direction::Playback, want);
    if (!device) {
        nextOpen = Clock::now() + kRetryInterval;
        return false;
    }
    watch.emplace(Clock::now());
    return true;
}

// Closing drops whatever is still queued.
void SdlClipPlayer::Speaker::Close()
{
    device = {};
    watch.reset();
}

// False when the device is lost, the deadline passes or the program ends.
bool SdlClipPlayer::Speaker::Drain(Audio& audio, Clock::time_point deadline)
{
    for (;;) {
        const auto now = Clock::now();
        const std::uint32_t queued = audio.Queued(device);
        const bool lost = watch->Lost(now, queued) || audio.Stopped(device);
        if (queued == 0)
            return true;
        if (lost || now >= deadline)
            return false;
        if (!audio.SleepUntil(std::min(watch->NextLook(now, queued, device.BufferBytes()), deadline)))
            return false;
    }
}

void SdlClipPlayer::Speaker::ReleaseIfIdle()
{
    if (device && Clock::now() >= lastSound + kIdleRelease)
        Close();
}

SdlClipPlayer::SdlClipPlayer(SoundThread& sound, VoiceChooser chooseVoice)
    : sound_(sound), chooseVoice_(std::move(chooseVoice)), speaker_(std::make_shared<Speaker>())
{
}

// A word's form that the voice lacks is said in the word's own clip.
void SdlClipPlayer::PlayReading(std::span<const std::string> clips, speech::AfterSound then)
{
    auto answer = std::make_shared<Answer<speech::SoundEnd>>(std::move(then), speech::SoundEnd::NoSound);
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
    sound_.Post([speaker = speaker_, files = std::move(files), answer](Audio& audio) mutable {
        (*answer)(speaker->Play(audio, std::move(files)));
    });
}

}  // namespace audio
