#pragma once
// Tells from how much a playback device still has queued whether its stream
// plays, is still starting, or is lost; it makes no SDL call.
//
// A new stream may take a while before it drains at all: a sink waking from
// suspend, a Bluetooth headset, PulseAudio's stock null sink (which takes one
// buffer and then nothing for about 1.2 s). Such a stream is not lost until
// kStartGrace after its device was opened. Once it has played kArmedAfter of
// sound at its rate, it is a playing stream, and one that stops draining for
// kStallLimit is lost (a server that died without saying so). A driver that
// says its device stopped is the caller's to hear.

#include <chrono>
#include <cstdint>

#include "speech/WavFile.h"

namespace audio {

using Clock = std::chrono::steady_clock;

// A new stream may take this long, from the open, to start draining.
inline constexpr std::chrono::milliseconds kStartGrace{2000};
// A stream that has played this much sound is playing, not starting.
inline constexpr std::chrono::milliseconds kArmedAfter{200};
// A playing stream that stops draining for this long has lost its device.
inline constexpr std::chrono::milliseconds kStallLimit{500};

// Bytes of the player's format (22050 Hz mono 16-bit) per second.
inline constexpr double kBytesPerSecond = speech::kClipRate * 2.0;

Clock::duration DurationOf(std::uint64_t bytes);

class StreamWatch {
public:
    explicit StreamWatch(Clock::time_point opened) : opened_(opened), lastDrain_(opened) {}

    // More was queued at `now` after the queue had run empty (a new reading
    // on an open device): a stall is counted from here.
    void Resume(Clock::time_point now, std::uint32_t queued);
    // bytes were queued onto the queue: what drained before them is still
    // seen at the next look.
    void Added(std::uint32_t bytes) { lastQueued_ += bytes; }
    // Notes how much is queued at `now`; true when the stream is lost.
    bool Lost(Clock::time_point now, std::uint32_t queued);
    // When Lost turns true if nothing more drains.
    Clock::time_point Verdict() const;
    // When a look at the queue, after one at `now` that found `queued`, can
    // see more: once all of it can have drained, but not before the device
    // can have taken a part of a buffer (a whole one, after a look that saw
    // nothing drain: a slow start is not polled), and not after the verdict.
    Clock::time_point NextLook(Clock::time_point now, std::uint32_t queued, std::uint32_t bufferBytes) const;
    // The latest that `bytes` queued at `now` can have been played: later
    // when the stream may still be starting.
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
