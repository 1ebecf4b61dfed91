// The sound thread's rules, with jobs that make no SDL call and latches the
// test opens; and the stream watch's judgement of a queue, row by row.
#include <gtest/gtest.h>

#include <latch>

#include "audio/SoundThread.h"
#include "audio/StreamWatch.h"

using namespace std::chrono_literals;
using audio::Audio;
using audio::Clock;
using audio::JobControl;

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

TEST_F(SoundThreadRules, JobsRunByTimeThenInTheOrderGivenAndOneGivenUpBeforeItBeganNever)
{
    std::string order;  // written by jobs only
    std::latch done(4);
    auto note = [&](char step) { return [&, step](Audio&, JobControl&) { order += step, done.count_down(); }; };
    sound.Run([&](Audio&, JobControl& control) {
        const auto now = Clock::now();
        for (auto [after, step] : {std::pair{30ms, 'd'}, {10ms, 'b'}, {10ms, 'c'}, {0ms, 'a'}})
            control.Later(now + after, note(step));
    }, kLong);
    done.wait();
    EXPECT_EQ(sound.Run([&](Audio&, JobControl&) { return order; }, kLong), "abcd");

    std::latch release(1);
    Occupy([&] { release.wait(); });
    EXPECT_FALSE(sound.Run([&](Audio&, JobControl&) { order += 'x'; }, 20ms));
    release.count_down();
    EXPECT_EQ(sound.Run([&](Audio&, JobControl&) { return order; }, kLong), "abcd") << "a job given up ran";
}

// A job run later past its bound (an idle release hung in the driver)
// leaves the thread stuck: a job given meanwhile is refused at once, and one
// given once it returned runs. (A reading given up: DiskPlayer's hung open.)
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

// A queue of 3 s of sound, and how its stream takes it: a first part at
// once, the rest at the playback rate from startMs on, until it dies.
struct Stream {
    const char* name;
    std::uint32_t first;
    int startMs, diesMs;
    int lostAtMs;  // -1: never lost, and played within the reading's wait
};
constexpr std::uint32_t kReading = 3 * audio::kBytesPerSecond;
constexpr int kNever = 1 << 30;

std::uint32_t QueuedAt(const Stream& stream, int ms)
{
    const double played = stream.first + std::max(std::min(ms, stream.diesMs) - stream.startMs, 0) * audio::kBytesPerSecond / 1000;
    return kReading - std::min(kReading, std::uint32_t(played) / 2 * 2);
}

TEST(StreamWatch, ASlowStartIsNoLossAndAStreamThatStopsPlayingIs)
{
    const Stream rows[] = {
        {"starts at once", 0, 0, kNever, -1},
        {"one buffer, then nothing for 1.2 s (a stock PulseAudio null sink)", 1024, 1200, kNever, -1},
        {"a Bluetooth headset waking for 1.9 s", 0, 1900, kNever, -1},
        {"never starts", 0, kNever, kNever, 2000},
        {"one buffer, then nothing past the start grace", 1024, kNever, kNever, 2000},
        {"plays for a second and dies", 0, 0, 1000, 1500},
        {"dies after a moment of sound, still starting", 0, 0, 100, 2000},
    };
    for (const Stream& row : rows) {
        const Clock::time_point opened{};
        audio::StreamWatch watch(opened);
        const auto playedBy = watch.PlayedBy(opened, kReading);
        int lostAt = -1;
        for (int ms = 0; ms <= 6000 && lostAt < 0 && QueuedAt(row, ms) > 0; ms += 10)
            if (watch.Lost(opened + std::chrono::milliseconds(ms), QueuedAt(row, ms)))
                lostAt = ms;
        EXPECT_NEAR(lostAt, row.lostAtMs, 10) << row.name;
        const auto played = opened + std::chrono::milliseconds(row.startMs) + audio::DurationOf(kReading - row.first);
        EXPECT_TRUE(row.lostAtMs >= 0 || played <= playedBy) << row.name << ": the reading's wait ends before it can have been played";
    }
    // A playing stream drains its clip unseen, the next is queued, and its
    // first 20 ms take no buffer: no stall.
    const Clock::time_point opened{};
    audio::StreamWatch watch(opened);
    EXPECT_FALSE(watch.Lost(opened, 36304) || watch.Lost(opened + 300ms, 23074));
    watch.Added(22050);
    EXPECT_FALSE(watch.Lost(opened + 800ms, 23074)) << "the drain before more was queued was missed";
}

}  // namespace
