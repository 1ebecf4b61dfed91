#pragma once
// Plays readings on SDL2 audio (the audio subsystem only).
//
// The sound device is held only while there is something to play. It is
// opened when a clip is to be played and none is open, and a thread of the
// player's closes it once it has had nothing to play for kIdleRelease, so
// the desktop's sound server can let the card (or a Bluetooth headset) rest
// between readings. A device that stops on its own (the server died, a
// headset was pulled) ends the wait at once: the rest of that clip is silent,
// the device is closed, and a later clip opens the default device afresh.
// When none can be opened, clips are silent and cost no time, an open is
// tried again at most every kRetryInterval (with SDL's driver chosen anew, so
// a sound server that comes up later is found), and one line on standard
// error says why, once until sound works again.
//
// Every clip is converted to 22050 Hz mono 16-bit (the pack's own format;
// SDL converts that to the hardware's) and queued. The next clip is queued
// while the last buffer of the one before still plays, so clips chain
// without a gap. While waiting, the player sleeps in short steps and calls
// the idle callback between them, so a window keeps painting; every wait
// ends by a bound worked out from what is queued, whatever the driver does.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "ClipPlayer.h"

namespace speech {

// An open device with nothing left to play is closed after this long: long
// enough that the clips of one reading, and a quick answer after it, never
// reopen it.
inline constexpr std::chrono::milliseconds kIdleRelease{2000};
// A device that could not be opened is not tried again sooner than this.
inline constexpr std::chrono::milliseconds kRetryInterval{2000};

// SDL's audio devices are opened and closed, and its audio subsystem
// started and stopped, only under this lock: the player's releasing thread
// closes devices while the window's thread may open another (the
// recorder's microphone).
std::mutex& SdlDeviceLock();

// The clip converted to the player's format, or nothing when it cannot be
// played. Needs no device.
std::optional<std::vector<std::uint8_t>> DecodeClip(std::vector<std::uint8_t> file);

class SdlClipPlayer final : public ClipPlayer {
public:
    // Gives the folder a reading is played from, asked anew as each reading
    // starts; with none, the reading is silent.
    using VoiceChooser = std::function<std::optional<std::filesystem::path>()>;

    explicit SdlClipPlayer(VoiceChooser chooseVoice);
    ~SdlClipPlayer() override;
    SdlClipPlayer(const SdlClipPlayer&) = delete;
    SdlClipPlayer& operator=(const SdlClipPlayer&) = delete;

    void PlayReading(std::span<const std::string> clips) override;

    // Called every few milliseconds while a clip plays, and once before a
    // clip starts on a silent device.
    void SetIdleCallback(std::function<void()> idle) { idle_ = std::move(idle); }

    // Whether a device is open now, and how much it has still to play.
    bool HasDevice() const;
    std::uint32_t QueuedBytes() const;

private:
    using Clock = std::chrono::steady_clock;

    void Play(const std::vector<std::uint8_t>& samples);
    bool OpenDevice();
    void CloseDevice();
    bool WaitUntilQueued(std::uint32_t left, bool callIdle);
    void EndReading();
    void ReleaseWhenIdle();
    void Idle();

    VoiceChooser chooseVoice_;
    std::function<void()> idle_;
    std::uint32_t bufferBytes_ = 0;  // SDL takes this much per device callback

    // Shared with the releasing thread, under SdlDeviceLock().
    std::mutex& mutex_ = SdlDeviceLock();
    std::condition_variable changed_;
    bool audioInitialised_ = false;
    std::uint32_t device_ = 0;
    bool reading_ = false;
    bool stopping_ = false;
    Clock::time_point releaseAt_;
    Clock::time_point nextOpen_;
    bool failureReported_ = false;
    std::thread releaser_;
};

}  // namespace speech
