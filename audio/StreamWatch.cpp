#include "StreamWatch.h"

#include <algorithm>

namespace audio {

Clock::duration DurationOf(std::uint64_t bytes)
{
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(double(bytes) / kBytesPerSecond));
}

void StreamWatch::Resume(Clock::time_point now, std::uint32_t queued)
{
    lastDrain_ = now;
    lastQueued_ = queued;
}

bool StreamWatch::Lost(Clock::time_point now, std::uint32_t queued)
{
    draining_ = queued < lastQueued_;
    if (draining_) {
        played_ += lastQueued_ - queued;
        lastDrain_ = now;
    }
    lastQueued_ = queued;
    return now >= Verdict();
}

Clock::time_point StreamWatch::Verdict() const
{
    const auto stalled = lastDrain_ + kStallLimit;
    return Playing() ? stalled : std::max(stalled, opened_ + kStartGrace);
}

Clock::time_point StreamWatch::NextLook(Clock::time_point now, std::uint32_t queued, std::uint32_t bufferBytes) const
{
    const auto least = DurationOf(draining_ ? bufferBytes / 4 : bufferBytes);
    return std::min(now + std::max(DurationOf(queued), least), std::max(Verdict(), now));
}

Clock::time_point StreamWatch::PlayedBy(Clock::time_point now, std::uint32_t bytes) const
{
    const auto start = Playing() ? now : std::max(now, opened_ + kStartGrace);
    return start + DurationOf(bytes) + kStallLimit;
}

}  // namespace audio
