#pragma once
// Plays readings on SDL2 audio, through the process's sound thread: this
// class reads clip files and posts the reading; its job on the sound thread
// decodes the clips, makes every call into the driver, and answers how the
// reading ended, on the sound thread.
//
// The sound device is held only while there is something to play. It is
// opened when a reading starts and none is open, and closed once it has had
// nothing to play for kIdleRelease, so the desktop's sound server can let the
// card (or a Bluetooth headset) rest between readings. A device is lost when
// the driver says it stopped, or when StreamWatch says so (a stream that
// never started, or stopped draining after it had played): the rest of that
// reading is dropped, never played later, the device is closed, and a later
// reading opens the default device afresh. When none can be opened, readings
// are silent and cost no time, and an open is tried again at most every
// kRetryInterval.
//
// Every clip is converted to 22050 Hz mono 16-bit (the pack's own format;
// SDL converts that to the hardware's), and a reading's clips are queued
// together, so they chain without a gap however late this thread wakes. The
// job bounds itself: a reading not played by the time it can have been
// (StreamWatch::PlayedBy) is cut, as its device is lost.

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

// An open device with nothing left to play is closed after this long: long
// enough that the clips of one reading, and a quick answer after it, never
// reopen it.
inline constexpr std::chrono::milliseconds kIdleRelease{2000};
// A device just opened plays this much silence before its first reading: a
// sound server may drop a moment of a new stream while it fits the stream
// into its graph (PipeWire did, from 10 to 160 ms in), and that moment must
// not be the first word.
inline constexpr std::chrono::milliseconds kLeadIn{200};
// A device that could not be opened is not tried again sooner than this.
inline constexpr std::chrono::milliseconds kRetryInterval{2000};

// The clip converted to the player's format, or nothing when it cannot be
// played. Needs no device; calls SDL, so the player calls it only on the
// sound thread.
std::optional<std::vector<std::uint8_t>> DecodeClip(std::vector<std::uint8_t> file);

class SdlClipPlayer final : public speech::ClipPlayer {
public:
    // Gives the folder a reading is played from, asked anew as each reading
    // starts; with none, the reading is silent.
    using VoiceChooser = std::function<std::optional<std::filesystem::path>()>;

    SdlClipPlayer(SoundThread& sound, VoiceChooser chooseVoice);
    SdlClipPlayer(const SdlClipPlayer&) = delete;
    SdlClipPlayer& operator=(const SdlClipPlayer&) = delete;

    // then is called on the sound thread, or at once on this one when there
    // is nothing to play or the sound thread refuses.
    void PlayReading(std::span<const std::string> clips, speech::AfterSound then) override;

    // The device and its watch, touched only by the player's jobs on the
    // sound thread (and shared with them, as a job may outlive the player).
    struct Speaker;

private:
    SoundThread& sound_;
    VoiceChooser chooseVoice_;
    std::shared_ptr<Speaker> speaker_;
};

}  // namespace audio
