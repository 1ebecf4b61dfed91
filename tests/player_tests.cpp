// The real SDL clip player on SDL's disk driver, which writes every sample
// it plays (22050 Hz mono 16-bit) to a file the test reads back.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "audio/SdlClipPlayer.h"
#include "support/Wav.h"

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

// bytes with some 32-bit little-endian fields set, cut to size, then tail
// appended: the shapes clip files take in the wild.
std::vector<std::uint8_t> Reshaped(std::vector<std::uint8_t> bytes,
                                   std::initializer_list<std::pair<std::size_t, std::uint32_t>> fields,
                                   std::size_t size = SIZE_MAX, std::initializer_list<std::uint8_t> tail = {})
{
    for (auto [offset, value] : fields)
        for (int i = 0; i < 4; ++i)
            bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    bytes.resize(std::min(size, bytes.size()));
    bytes.insert(bytes.end(), tail);
    return bytes;
}

// Sleeps until woken or the deadline, counting how often the player's caller
// wakes.
struct CountingWaiter final : audio::Waiter {
    void SleepUntil(audio::Clock::time_point deadline) override
    {
        std::unique_lock lock(mutex);
        ++waits;
        woken.wait_until(lock, deadline, [&] { return std::exchange(wake, false); });
    }
    void Wake() override
    {
        std::lock_guard lock(mutex);
        wake = true;
        woken.notify_one();
    }
    std::mutex mutex;
    std::condition_variable woken;
    bool wake = false;
    int waits = 0;
};

class DiskPlayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
        sound = std::make_unique<audio::SoundThread>("player_tests");
        player = std::make_unique<audio::SdlClipPlayer>(*sound, [this] { return folder; }, &waiter);
    }

    // Plays the clips by bare name, closes the device so the file is
    // complete, and returns what was heard; a resampled clip's last samples
    // wobble a little.
    std::vector<Segment> Play(const std::vector<std::string>& names)
    {
        player->PlayReading(names);
        player.reset();
        return NonSilentSegments(ReadDiskOutput(out), 20);
    }

    TempDir dir;
    std::filesystem::path out = dir / "out.raw";
    std::optional<std::filesystem::path> folder = dir.path();
    CountingWaiter waiter;
    std::unique_ptr<audio::SoundThread> sound;
    std::unique_ptr<audio::SdlClipPlayer> player;
};

TEST_F(DiskPlayer, EveryShapeOfClipPlaysItsRealFramesWithoutAGap)
{
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        int value, frames;
    } clips[] = {
        {"plain.wav", ConstantClip(1000, 2000), 1000, 2000},
        {"resampled_tail_kept.wav", Reshaped(ConstantClip(9000, 13230), {{24, 44100}, {28, 88200}}), 9000, 6615},
        {"stereo.wav", Reshaped(ConstantClip(-8192, 2400), {{20, 1 | 2 << 16}, {28, 88200}, {32, 4 | 16 << 16}}),
         -8192, 1200},
        {"espeak_stdout.wav", Reshaped(ConstantClip(3000, 1300), {{40, 0x7FFFF000}}), 3000, 1300},
        {"piped.wav", Reshaped(ConstantClip(4000, 1400), {{4, ~0u}, {40, ~0u}}), 4000, 1400},
        {"cut_mid_frame.wav", Reshaped(ConstantClip(5000, 2000), {}, 44 + 3001), 5000, 1500},
        {"junk_chunk_after.wav", Reshaped(ConstantClip(6000, 1600), {}, SIZE_MAX, {'L', 'I', 'S', 'T', 0xFF, 9}),
         6000, 1600},
    };
    std::vector<std::string> names;
    for (const auto& clip : clips) {
        WriteFile(dir / clip.name, clip.bytes);
        names.push_back(clip.name);
    }
    const auto runs = Play(names);
    ASSERT_EQ(runs.size(), std::size(clips));
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_NEAR(runs[i].value, clips[i].value, 20) << clips[i].name;
        EXPECT_EQ(runs[i].length, std::size_t(clips[i].frames)) << clips[i].name;
        if (i == 0)
            EXPECT_LE(runs[0].start, 512u) << "the first clip starts within a buffer of the device opening";
        else
            EXPECT_EQ(runs[i].start, runs[i - 1].start + runs[i - 1].length) << "gap before " << clips[i].name;
    }
}

TEST_F(DiskPlayer, WhatCannotPlayIsSilentAtOnce)
{
    WriteFile(dir / "text.wav", {'h', 'e', 'l', 'l', 'o'});
    WriteFile(dir / "no_samples.wav", Reshaped(ConstantClip(5000, 500), {{40, 0x7FFFF000}}, 44));
    WriteFile(dir / "empty.wav", ConstantClip(5000, 0));
    ASSERT_EQ(mkfifo((dir / "fifo.wav").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "folder.wav");
    WriteFile(dir / "huge.wav", ConstantClip(5000, 500));
    std::filesystem::resize_file(dir / "huge.wav", 1ull << 40);  // sparse: reading it whole would never end
    for (const char* name : {"missing.wav", "text.wav", "no_samples.wav", "empty.wav", "fifo.wav", "folder.wav",
                             "/dev/zero", "huge.wav"})
        player->PlayClip(name);
    EXPECT_LE(waiter.waits, 5) << "an unplayable clip must not be waited for";
    EXPECT_EQ(player->HasDevice(), false) << "nothing to play opens no device";
    EXPECT_TRUE(Play({}).empty());
}

TEST_F(DiskPlayer, SleepsThroughAReadingUntilWokenAndAsksForTheVoiceAtEveryReading)
{
    TempDir other;
    WriteFile(dir / "long.wav", ConstantClip(4000, 22050 / 2));
    WriteFile(other / "long.wav", ConstantClip(-4000, 2205));
    player->PlayClip("long.wav");
    EXPECT_LE(waiter.waits, 2) << "half a second of sound waited for by waking again and again";
    folder = other.path();
    const auto runs = Play({"long.wav"});
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].value, 4000);
    EXPECT_EQ(runs[1].value, -4000);
    EXPECT_EQ(runs[1].length, 2205u);
}

// The disk driver cannot open a device whose file cannot be made: clips stay
// silent, and the open is not tried again before the retry interval.
TEST_F(DiskPlayer, AFailedOpenIsTriedAgainOnlyAfterTheRetryInterval)
{
    player.reset();
    sound.reset();
    out = dir / "later/out.raw";
    SetUp();
    WriteFile(dir / "a.wav", ConstantClip(1000, 220));
    player->PlayClip("a.wav");
    const auto failed = std::chrono::steady_clock::now();
    std::filesystem::create_directory(dir / "later");
    int readings = 1;
    for (; !std::filesystem::exists(out) && std::chrono::steady_clock::now() - failed < 10s; ++readings) {
        player->PlayClip("a.wav");
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_GE(std::chrono::steady_clock::now() - failed, audio::kRetryInterval) << "tried again too soon";
    EXPECT_GT(readings, 100) << "a silent reading must cost no time";
    EXPECT_EQ(Play({"a.wav"}).size(), 2u) << "heard once it could open";
}

}  // namespace
