// The sound thread's rules, with jobs that make no SDL call and latches the
// test opens; and the stream watch's judgement of a queue, row by row.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
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
    // Gives job to the thread with a bound of 100 ms, again until one has
    // begun before its caller gave up: on a busy machine it may have been
    // dropped unbegun. Only one runs, as the thread is stuck from then on.
    template <typename Work>
    void GiveUpOnceBegun(Work job)
    {
        std::atomic<bool> begun = false;
        for (const auto end = Clock::now() + kLong; !begun && Clock::now() < end; std::this_thread::sleep_for(1ms))
            EXPECT_FALSE(sound.Run([&begun, job](Audio&, JobControl&) { return begun = true, job(); }, 100ms));
        ASSERT_TRUE(begun);
    }
    // Whether a job given now is refused without a wait, and never runs.
    bool RefusedAtOnce()
    {
        const auto start = Clock::now();
        bool ran = false;
        return !sound.Run([&](Audio&, JobControl&) { ran = true; }, kLong) && !ran && Clock::now() - start < kLong / 2;
    }

    audio::SoundThread sound{"sound_thread_tests"};
    std::latch release{1};
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

    Occupy([&] { release.wait(); });
    EXPECT_FALSE(sound.Run([&](Audio&, JobControl&) { order += 'x'; }, 20ms));
    release.count_down();
    EXPECT_EQ(sound.Run([&](Audio&, JobControl&) { return order; }, kLong), "abcd") << "a job given up ran";
}

// A job past its bound, whether its caller gave up or it was run later,
// leaves the thread stuck: nothing is queued behind it until it returns.
TEST_F(SoundThreadRules, AJobPastItsBoundGetsTheNextRefusedAtOnce)
{
    for (const bool later : {false, true}) {
        std::latch go(1), returned(1);
        auto hang = [&] { go.wait(), returned.count_down(); };
        if (later)
            Occupy(hang, 10ms), std::this_thread::sleep_for(20ms);  // past its bound
        else
            GiveUpOnceBegun(hang);
        EXPECT_TRUE(RefusedAtOnce()) << (later ? "a job run later" : "a job given up");
        go.count_down(), returned.wait();
        bool ran = false;  // once the job has returned, which only a run shows
        for (const auto end = Clock::now() + kLong; !ran && Clock::now() < end; std::this_thread::sleep_for(1ms))
            ran = sound.Run([](Audio&, JobControl&) {}, kLong);
        EXPECT_TRUE(ran) << "refused after the stuck job returned";
    }
}

// A result its caller no longer waits for is never handed back, and is
// destroyed on the sound thread (so that a device it holds closes there).
TEST_F(SoundThreadRules, AResultGivenUpIsDestroyedOnTheSoundThread)
{
    struct Result {
        explicit Result(std::shared_ptr<std::promise<std::thread::id>> on) : destroyedOn(std::move(on)) {}
        Result(Result&& other) noexcept = default;  // leaves other without a promise
        std::shared_ptr<std::promise<std::thread::id>> destroyedOn;
        ~Result()
        {
            if (destroyedOn)
                destroyedOn->set_value(std::this_thread::get_id());
        }
    };
    const auto soundThread = sound.Run([](Audio&, JobControl&) { return std::this_thread::get_id(); }, kLong);
    auto destroyed = std::make_shared<std::promise<std::thread::id>>();
    auto on = destroyed->get_future();
    GiveUpOnceBegun([&] { return release.wait(), Result(std::exchange(destroyed, nullptr)); });
    release.count_down();
    ASSERT_EQ(on.wait_for(kLong), std::future_status::ready);
    EXPECT_EQ(on.get(), soundThread);
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
        int lostAt = -1, emptyAt = -1;
        for (int ms = 0; ms <= 6000 && lostAt < 0 && emptyAt < 0; ms += 10) {
            if (watch.Lost(opened + std::chrono::milliseconds(ms), QueuedAt(row, ms)))
                lostAt = ms;
            else if (QueuedAt(row, ms) == 0)
                emptyAt = ms;
        }
        EXPECT_NEAR(lostAt, row.lostAtMs, 10) << row.name;
        EXPECT_TRUE(row.lostAtMs >= 0 || opened + std::chrono::milliseconds(emptyAt) <= playedBy)
            << row.name << ": the reading's wait ends before it can have been played";
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
