#pragma once
// Plays readings on SDL2 audio: it reads the clip files and posts the
// reading; its job decodes the clips to 22050 Hz mono 16-bit, queues them
// all at once (so no late wake-up leaves a gap), and answers how the reading
// ended. The device is opened for a reading and closed kIdleRelease after
// its last sound, so the card (or a headset) can rest. A reading is cut
// when its device is lost (the driver says so, or StreamWatch) or it is not
// played by the time it can have been; the device is then closed, and the
// next reading opens one afresh. With no device, readings are silent and
// answered at once; an open is retried at most every kRetryInterval.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "SoundThread.h"
#include "speech/ClipPlayer.h"

namespace audio {

// Long enough that a quick answer after a reading does not reopen it.
inline constexpr std::chrono::milliseconds kIdleRelease{2000};
// Silence a new device plays first: PipeWire was seen dropping sound up to
// 160 ms into a new stream, and that must not be the first word.
inline constexpr std::chrono::milliseconds kLeadIn{200};
inline constexpr std::chrono::milliseconds kRetryInterval{2000};

// The clip in the player's format, or nothing when it cannot be played.
// Calls SDL: only on the sound thread.
std::optional<std::vector<std::uint8_t>> DecodeClip(std::vector<std::uint8_t> file);

class SdlClipPlayer final : public speech::ClipPlayer {
public:
    // The folder of each reading, asked as it starts; none: silent.
    using VoiceChooser = std::function<std::optional<std::filesystem::path>()>;

    SdlClipPlayer(SoundThread& sound, VoiceChooser chooseVoice);
    SdlClipPlayer(const SdlClipPlayer&) = delete;
    SdlClipPlayer& operator=(const SdlClipPlayer&) = delete;

    // then runs on the sound thread, or at once here when there is nothing
    // to play or the thread refuses.
    void PlayReading(std::span<const std::string> clips, speech::AfterSound then) override;

    struct Speaker;  // the device: the player's jobs' alone

private:
    SoundThread& sound_;
    VoiceChooser chooseVoice_;
    std::shared_ptr<Speaker> speaker_;
};

}  // namespace audio
