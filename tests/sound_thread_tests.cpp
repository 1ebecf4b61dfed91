// The sound thread's rules, with jobs that make no SDL call and latches the
// test opens; and the stream watch's judgement of a queue, row by row.
#include <gtest/gtest.h>

#include <latch>

#include "audio/SoundThread.h"
#include "audio/StreamWatch.h"

using namespace std::chrono_literals;
using namespace audio;

namespace {

constexpr auto kLong = 10s;  // a bound no job here needs

class SoundThreadRules : public ::testing::Test {
protected:
    // Runs job on the thread as a job run later, within bound, and returns
    // once it has begun.
    void Occupy(std::function<void()> job, Clock::duration bound = audio::kOpenBound)
    {
        std::latch begun(1);
        sound.Run([&](Audio&, JobControl& control) {
            control.Later(Clock::now(), [&begun, job](Audio&, JobControl&) { begun.count_down(), job(); }, bound);
        }, kLong);
        begun.wait();
    }

    audio::SoundThread sound{"sound_thread_tests"};
};

// A job given up before it began never runs. (Jobs run by their time:
// DiskPlayer's readings, each with an idle release queued for later.)
TEST_F(SoundThreadRules, AJobGivenUpBeforeItBeganNeverRuns)
{
    std::latch release(1);
    Occupy([&] { release.wait(); });
    bool ran = false;  // written by jobs only
    EXPECT_FALSE(sound.Run([&](Audio&, JobControl&) { ran = true; }, 20ms));
    release.count_down();
    EXPECT_EQ(sound.Run([&](Audio&, JobControl&) { return ran; }, kLong), false) << "a job given up ran";
}

// A job run later past its bound (an idle release hung in the driver)
// leaves the thread stuck: a job given meanwhile is refused at once, and one
// given once it returned runs.
TEST_F(SoundThreadRules, AJobPastItsBoundGetsTheNextRefusedAtOnce)
{
    std::latch go(1), returned(1);
    Occupy([&] { go.wait(), returned.count_down(); }, 10ms);
    std::this_thread::sleep_for(20ms);  // past its bound
    const auto given = Clock::now();
    bool ran = false;
    EXPECT_FALSE(sound.Run([&](Audio&, JobControl&) { ran = true; }, kLong));
    EXPECT_LT(Clock::now() - given, kLong / 2) << "not refused at once";
    go.count_down(), returned.wait();
    EXPECT_FALSE(ran);  // given up, and taken again once the job returned, which only a run shows
    for (const auto end = Clock::now() + kLong; !ran && Clock::now() < end; std::this_thread::sleep_for(1ms))
        ran = sound.Run([](Audio&, JobControl&) {}, kLong);
    EXPECT_TRUE(ran) << "refused after the stuck job returned";
}

// Each row: how much a stream had still queued at some looks (ms from the
// open), and whether the last look finds it lost.
TEST(StreamWatch, ASlowStartIsNoLossAndAStreamThatStopsPlayingIs)
{
    using Looks = std::vector<std::pair<int, std::uint32_t>>;
    const struct { const char* name; Looks looks; bool lost; } rows[] = {
        {"one buffer, then nothing for 1.2 s (a stock PulseAudio null sink)", {{0, 66150}, {20, 65126}, {1200, 65126}}, false},
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
    // Three seconds queued as the device opens may start 2 s late, and
    // their reading is waited for that long.
    EXPECT_GE(audio::StreamWatch(opened).PlayedBy(opened, 3 * audio::kBytesPerSecond), opened + 5s);
}

}  // namespace
