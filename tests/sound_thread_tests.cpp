// The sound thread's rules, with jobs that make no SDL call and latches the
// test opens; and the stream watch's judgement of a queue, row by row.
#include <gtest/gtest.h>

#include <future>
#include <latch>
#include <mutex>
#include <string>

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
    // Runs job later on the thread and returns once it has begun.
    void Occupy(std::function<void()> job, Clock::duration bound = audio::kOpenBound)
    {
        std::latch begun(1);
        ASSERT_TRUE(sound.Run([&](Audio&, JobControl& control) {
            control.Later(Clock::now(), [&begun, job](Audio&, JobControl&) { begun.count_down(), job(); }, bound);
        }, kLong));
        begun.wait();
    }
    // Whether Run gives up at once on a thread that is stuck.
    bool RefusedAtOnce()
    {
        const auto start = Clock::now();
        bool ran = false;
        const bool done = sound.Run([&](Audio&, JobControl&) { ran = true; }, kLong);
        return !done && !ran && Clock::now() - start < kLong / 2;
    }

    audio::SoundThread sound{"sound_thread_tests"};
    std::latch release{1};
};

TEST_F(SoundThreadRules, JobsRunByTimeThenInTheOrderGiven)
{
    std::mutex mutex;
    std::string order;
    std::promise<void> last;
    auto note = [&](char step) {
        return [&, step](Audio&, JobControl&) {
            std::lock_guard lock(mutex);
            order += step;
            if (order.size() == 4)
                last.set_value();
        };
    };
    sound.Run([&](Audio&, JobControl& control) {
        const auto now = Clock::now();
        control.Later(now + 30ms, note('d'));
        control.Later(now + 10ms, note('b'));
        control.Later(now + 10ms, note('c'));
        control.Later(now, note('a'));
    }, kLong);
    ASSERT_EQ(last.get_future().wait_for(kLong), std::future_status::ready);
    std::lock_guard lock(mutex);
    EXPECT_EQ(order, "abcd");
}

TEST_F(SoundThreadRules, AJobGivenUpBeforeItBeganNeverRuns)
{
    Occupy([&] { release.wait(); });
    bool ran = false;
    EXPECT_FALSE(sound.Run([&](Audio&, JobControl&) { ran = true; }, 20ms));
    release.count_down();
    ASSERT_TRUE(sound.Run([](Audio&, JobControl&) {}, kLong));
    EXPECT_FALSE(ran);
}

// A job past its bound, whether its caller gave up or it was run later,
// leaves the thread stuck: nothing is queued behind it until it returns.
TEST_F(SoundThreadRules, AJobPastItsBoundGetsTheNextRefusedAtOnce)
{
    for (const bool later : {false, true}) {
        std::latch go(1), returned(1);
        auto hang = [&] { go.wait(), returned.count_down(); };
        if (later) {
            Occupy(hang, 10ms);
            std::this_thread::sleep_for(20ms);  // past the later job's bound
        } else {
            EXPECT_FALSE(sound.Run([&](Audio&, JobControl&) { hang(); }, 10ms));
        }
        EXPECT_TRUE(RefusedAtOnce()) << (later ? "a job run later" : "a job given up");
        go.count_down();
        returned.wait();
        EXPECT_TRUE(sound.Run([](Audio&, JobControl&) { return true; }, kLong).value_or(false));
    }
}

// A result its caller no longer waits for is destroyed on the sound thread
// (so a device it holds closes there), and never handed back.
TEST_F(SoundThreadRules, AResultGivenUpIsDestroyedOnTheSoundThread)
{
    struct Result {
        std::promise<std::thread::id>* destroyedOn;
        ~Result()
        {
            if (destroyedOn != nullptr)
                destroyedOn->set_value(std::this_thread::get_id());
        }
        Result(std::promise<std::thread::id>* on) : destroyedOn(on) {}
        Result(Result&& other) noexcept : destroyedOn(std::exchange(other.destroyedOn, nullptr)) {}
    };
    const auto soundThread = sound.Run([](Audio&, JobControl&) { return std::this_thread::get_id(); }, kLong);
    ASSERT_TRUE(soundThread);
    std::promise<std::thread::id> destroyed;
    const auto result = sound.Run([&](Audio&, JobControl& control) {
        release.wait();
        EXPECT_TRUE(control.Abandoned());
        return Result(&destroyed);
    }, 10ms);
    EXPECT_FALSE(result.has_value());
    release.count_down();
    auto on = destroyed.get_future();
    ASSERT_EQ(on.wait_for(kLong), std::future_status::ready);
    EXPECT_EQ(on.get(), *soundThread);
}

// --- the stream watch ------------------------------------------------------

// A queue of 3 s of sound, and how its stream takes it: a first part at
// once, the rest at the playback rate from startMs on, until it dies.
struct Stream {
    const char* name;
    std::uint32_t first;
    int startMs;
    int diesMs;
    int lostAtMs;  // -1: never lost, and played within the reading's wait
};

constexpr std::uint32_t kReading = 3 * audio::kBytesPerSecond;

std::uint32_t QueuedAt(const Stream& stream, int ms)
{
    const std::uint32_t total = kReading;
    const int played = std::min(ms, stream.diesMs) - stream.startMs;
    const double bytes = stream.first + std::max(played, 0) * audio::kBytesPerSecond / 1000;
    return total - std::min<std::uint32_t>(total, std::uint32_t(bytes) / 2 * 2);
}

TEST(StreamWatch, ASlowStartIsNoLossAndAStreamThatStopsPlayingIs)
{
    constexpr int kNever = 1 << 30;
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
            const auto queued = QueuedAt(row, ms);
            if (watch.Lost(opened + std::chrono::milliseconds(ms), queued))
                lostAt = ms;
            else if (queued == 0)
                emptyAt = ms;
        }
        EXPECT_NEAR(lostAt, row.lostAtMs, 10) << row.name;
        if (row.lostAtMs < 0) {
            EXPECT_LE(opened + std::chrono::milliseconds(emptyAt), playedBy)
                << row.name << ": the reading's wait ends before it can have been played";
        }
    }
}

}  // namespace
