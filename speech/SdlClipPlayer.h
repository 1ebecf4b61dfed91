#pragma once
// Plays clips on SDL2 audio (the audio subsystem only). One device is opened
// when the player is made and kept until it is destroyed; every clip is
// decoded, converted to the device's format (22050 Hz mono 16-bit, the clip
// pack's own) and queued, and PlayClip returns when at most one device
// buffer of it is left to play. Returning then, rather than at an empty
// queue, lets the next clip be queued before SDL would pad the last partly
// filled buffer with silence, so consecutive clips chain without a gap.
//
// Without a device (no sound card) every clip is silent and costs no time.
// While waiting, the player sleeps in short steps and calls the idle
// callback between them, so a window can keep painting.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ClipPlayer.h"

namespace speech {

class SdlClipPlayer final : public ClipPlayer {
public:
    SdlClipPlayer();
    ~SdlClipPlayer() override;
    SdlClipPlayer(const SdlClipPlayer&) = delete;
    SdlClipPlayer& operator=(const SdlClipPlayer&) = delete;

    // Plays fileName from folder (an absolute name as it stands); with no
    // folder at all, every clip is silent. The current folder until set.
    void SetFolder(std::optional<std::filesystem::path> folder) { folder_ = std::move(folder); }
    void PlayClip(const std::string& fileName) override;

    // Called every few milliseconds while a clip plays, and once before a
    // clip starts on an idle device.
    void SetIdleCallback(std::function<void()> idle) { idle_ = std::move(idle); }

    bool HasDevice() const { return device_ != 0; }
    int SampleRate() const { return sampleRate_; }
    // Bytes SDL takes per device callback.
    std::uint32_t BufferBytes() const { return bufferBytes_; }
    // Bytes queued and not yet played.
    std::uint32_t QueuedBytes() const;

    // The clip converted to the device's format, or nothing when it cannot
    // be played. DecodeBytes takes a whole clip file already in memory.
    std::optional<std::vector<std::uint8_t>> Decode(const std::string& fileName) const;
    std::optional<std::vector<std::uint8_t>> DecodeBytes(std::vector<std::uint8_t> file) const;

private:
    void WaitUntilQueued(std::uint32_t left, bool callIdle);
    double BytesPerSecond() const;
    void Idle();

    bool audioInitialised_ = false;
    std::uint32_t device_ = 0;
    int sampleRate_ = 0;
    std::uint16_t format_ = 0;
    int channels_ = 0;
    std::uint32_t bufferBytes_ = 0;
    std::function<void()> idle_;
    std::optional<std::filesystem::path> folder_ = std::filesystem::path();
};

}  // namespace speech
