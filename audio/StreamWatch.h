#pragma once
// Tells from how much a playback device still has queued whether its stream
// plays, is still starting, or is lost; no SDL call. A new stream may not
// drain at first (a sink waking, a headset, PulseAudio's stock null sink,
// which takes a buffer and then nothing for 1.2 s): it is not lost before
// kStartGrace from the open's return. Once it has played kArmedAfter, one
// that stops draining for kStallLimit is lost (a server that died without
// saying so).

#include <chrono>
#include <cstdint>

#include "speech/WavFile.h"

namespace audio {

using Clock = std::chrono::steady_clock;

inline constexpr std::chrono::milliseconds kStartGrace{2000};
inline constexpr std::chrono::milliseconds kArmedAfter{200};
inline constexpr std::chrono::milliseconds kStallLimit{500};

// Bytes of the player's format (22050 Hz mono 16-bit) per second.
inline constexpr double kBytesPerSecond = speech::kClipRate * 2.0;

Clock::duration DurationOf(std::uint64_t bytes);

class StreamWatch {
public:
    explicit StreamWatch(Clock::time_point opened) : opened_(opened), lastDrain_(opened) {}

    // A new reading on an open device: a stall is counted from `now`.
    void Resume(Clock::time_point now, std::uint32_t queued);
    // Queued more: what drained before is still seen at the next look.
    void Added(std::uint32_t bytes) { lastQueued_ += bytes; }
    // A look at the queue; true when the stream is lost.
    bool Lost(Clock::time_point now, std::uint32_t queued);
    // When Lost turns true if nothing more drains.
    Clock::time_point Verdict() const;
    // When the next look can see more: once all can have drained, not
    // before a quarter of a buffer (a whole one after a look that saw
    // nothing drain: a slow start is not polled), not after the verdict.
    Clock::time_point NextLook(Clock::time_point now, std::uint32_t queued, std::uint32_t bufferBytes) const;
    // The latest `bytes` queued at `now` can have played.
    Clock::time_point PlayedBy(Clock::time_point now, std::uint32_t bytes) const;

private:
    bool Playing() const { return played_ >= kArmedAfter.count() * kBytesPerSecond / 1000; }

    Clock::time_point opened_;
    Clock::time_point lastDrain_;
    std::uint32_t lastQueued_ = 0;
    std::uint64_t played_ = 0;  // bytes drained since the open
    bool draining_ = false;     // the last look saw the queue drain
};

}  // namespace audio
