// The sound thread's answers, with jobs that make no SDL call (its stuck
// rule needs a driver that hangs: the player's tests); and the stream
// watch's judgement of a queue, row by row.
#include <gtest/gtest.h>

#include <future>

#include "audio/SoundThread.h"
#include "audio/StreamWatch.h"

using namespace std::chrono_literals;
using namespace audio;

namespace {

// A job that throws has ended: its answer is the fallback, and the next
// job runs.
TEST(SoundThreadRules, AJobThatThrowsIsAnsweredWithTheFallbackAndTheNextRuns)
{
    SoundThread sound("sound_thread_tests");
    std::promise<std::string> answered;
    std::promise<void> ran;
    auto answer = std::make_shared<Answer<std::string>>([&](std::string said) { answered.set_value(said); }, "no sound");
    sound.Post([answer](Audio&) { throw std::runtime_error("a fault"); });
    answer = nullptr;
    sound.Post([&](Audio&) { ran.set_value(); });
    EXPECT_EQ(answered.get_future().get(), "no sound");
    EXPECT_EQ(ran.get_future().wait_for(10s), std::future_status::ready);
}

// Each row: how much a stream had still queued at some looks (ms from the
// open), and whether the last look finds it lost.
TEST(StreamWatch, ASlowStartIsNoLossAndAStreamThatStopsPlayingIs)
{
    using Looks = std::vector<std::pair<int, std::uint32_t>>;
    const struct { const char* name; Looks looks; bool lost; } rows[] = {
        {"nothing for the start grace", {{0, 66150}, {20, 65126}, {2000, 65126}}, true},
        {"a moment of sound, then nothing for 1.5 s: still starting", {{0, 66150}, {100, 61740}, {1600, 61740}}, false},
        {"a second of sound, then nothing for 0.4 s", {{0, 66150}, {1000, 22050}, {1400, 22050}}, false},
        {"a second of sound, then nothing for 0.5 s", {{0, 66150}, {1000, 22050}, {1500, 22050}}, true},
        {"a clip drained unseen, the next queued, 20 ms without a buffer", {{0, 36304}, {300, 23074}, {-1, 22050}, {800, 23074}}, false},
    };
    const Clock::time_point opened{};
    for (const auto& row : rows) {
        audio::StreamWatch watch(opened);
        bool lost = false;
        for (auto [ms, bytes] : row.looks)  // ms -1: bytes queued onto the queue
            ms < 0 ? watch.Added(bytes) : void(lost = watch.Lost(opened + std::chrono::milliseconds(ms), bytes));
        EXPECT_EQ(lost, row.lost) << row.name;
    }
    // The next look: when all can have drained while the queue drains, no
    // sooner than a whole buffer while it does not (a slow start is not
    // polled), and not past the verdict.
    audio::StreamWatch draining(opened), stalled(opened);
    draining.Added(8000), draining.Lost(opened + 20ms, 4000);
    EXPECT_EQ(draining.NextLook(opened + 20ms, 4000, 4096), opened + 20ms + DurationOf(4000));
    stalled.Added(8000), stalled.Lost(opened + 20ms, 4000), stalled.Lost(opened + 40ms, 4000);
    EXPECT_EQ(stalled.NextLook(opened + 40ms, 4000, 4096), opened + 40ms + DurationOf(4096));
    EXPECT_EQ(stalled.NextLook(opened + 40ms, 100000, 4096), opened + audio::kStartGrace);
    // Three seconds queued as the device opens may start 2 s late, and
    // their reading is waited for that long.
    EXPECT_GE(audio::StreamWatch(opened).PlayedBy(opened, 3 * audio::kBytesPerSecond), opened + 5s);
}

}  // namespace
