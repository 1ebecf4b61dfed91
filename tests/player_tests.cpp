// The real SDL clip player on SDL's disk driver, which writes every sample
// it plays (22050 Hz mono 16-bit) to a file the test reads back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "speech/SdlClipPlayer.h"
#include "support/Wav.h"

using namespace testing_support;

namespace {

constexpr int kFrames = 1000;  // 45 ms at 22050 Hz

class DiskPlayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
        player = std::make_unique<speech::SdlClipPlayer>();
        ASSERT_TRUE(player->HasDevice());
        ASSERT_EQ(player->SampleRate(), 22050);
    }

    // Plays the named clips from the test folder, then closes the device so
    // the file is complete, and returns what was written.
    std::vector<Segment> Play(std::initializer_list<std::string> names)
    {
        for (const std::string& name : names)
            player->PlayClip((dir / name).string());
        player.reset();
        return NonSilentSegments(ReadDiskOutput(dir / "out.raw"));
    }

    void Write(const std::string& name, const WavSpec& spec, const std::vector<float>& samples)
    {
        WriteFile(dir / name, MakeWav(spec, samples));
    }

    TempDir dir;
    std::unique_ptr<speech::SdlClipPlayer> player;
};

TEST_F(DiskPlayer, SixteenBitClipsChainWithoutAGap)
{
    const int values[] = {1000, 2000, 3000, 4000, 5000};
    for (int v : values)
        Write(std::to_string(v) + ".wav", {}, Constant(v, kFrames + v / 10));
    auto runs = Play({"1000.wav", "2000.wav", "3000.wav", "4000.wav", "5000.wav"});
    ASSERT_EQ(runs.size(), 5u);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].value, values[i]);
        EXPECT_EQ(runs[i].length, std::size_t(kFrames + values[i] / 10)) << "clip " << i;
        if (i > 0) {
            EXPECT_EQ(runs[i].start, runs[i - 1].start + runs[i - 1].length) << "silent samples before clip " << i;
        }
    }
}

TEST_F(DiskPlayer, EveryReadableFormatPlaysInOrderAtItsFullLength)
{
    // Values chosen to survive each conversion exactly or nearly.
    Write("u8.wav", {SampleFormat::U8, 1, 22050}, Constant(8192, kFrames));
    Write("float_stereo.wav", {SampleFormat::F32, 2, 22050}, Constant(-8192, kFrames));
    Write("s16_stereo.wav", {SampleFormat::S16, 2, 22050}, Constant(12000, kFrames));
    Write("marker.wav", {}, Constant(3000, kFrames));
    auto runs = Play({"u8.wav", "float_stereo.wav", "s16_stereo.wav", "marker.wav"});
    ASSERT_GE(runs.size(), 4u);
    EXPECT_NEAR(runs[0].value, 8192, 300);
    EXPECT_NEAR(runs[1].value, -8192, 300);
    EXPECT_EQ(runs[2].value, 12000);
    EXPECT_EQ(runs[3].value, 3000);
    EXPECT_EQ(runs.back().start + runs.back().length - runs.front().start, std::size_t(4 * kFrames));
}

TEST_F(DiskPlayer, ResampledClipKeepsItsTail)
{
    // 0.3 s at 44.1 kHz must become 0.3 s at 22.05 kHz; the marker after it
    // shows exactly where it ended.
    Write("fast.wav", {SampleFormat::S16, 1, 44100}, Constant(9000, 13230));
    Write("marker.wav", {}, Constant(3000, kFrames));
    auto runs = Play({"fast.wav", "marker.wav"});
    ASSERT_FALSE(runs.empty());
    const Segment& marker = runs.back();
    ASSERT_EQ(marker.value, 3000);
    EXPECT_EQ(marker.length, std::size_t(kFrames));
    EXPECT_NEAR(double(marker.start - runs.front().start), 6615, 2);
}

TEST_F(DiskPlayer, UnplayableFilesAddNothingAndCostNoTime)
{
    Write("good.wav", {}, Constant(4000, kFrames));
    WriteFile(dir / "text.wav", {'h', 'e', 'l', 'l', 'o'});
    auto truncated = MakeWav({}, Constant(5000, kFrames));
    truncated.resize(truncated.size() / 2);
    WriteFile(dir / "truncated.wav", truncated);
    auto greedy = MakeWav({}, Constant(5000, 100));
    greedy[40] = 0xF0, greedy[41] = 0xFF, greedy[42] = 0xFF, greedy[43] = 0xFF;  // data claims ~4 GiB
    WriteFile(dir / "greedy.wav", greedy);
    auto gsm = MakeWav({}, Constant(5000, 100));
    gsm[20] = 0x31;  // format tag GSM 6.10, which SDL cannot decode
    WriteFile(dir / "gsm.wav", gsm);
    Write("empty.wav", {}, {});

    int waits = 0;
    player->SetIdleCallback([&] { ++waits; });
    for (const char* name : {"missing.wav", "text.wav", "truncated.wav", "greedy.wav", "gsm.wav", "empty.wav"})
        player->PlayClip((dir / name).string());
    EXPECT_EQ(waits, 0) << "an unplayable clip must not be waited for";
    auto runs = Play({"good.wav"});
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].value, 4000);
    EXPECT_EQ(runs[0].length, std::size_t(kFrames));
}

TEST_F(DiskPlayer, ReturnsWithinOneBufferOfTheClipsEnd)
{
    Write("long.wav", {}, Constant(4000, 22050 / 2));
    int idleCalls = 0;
    player->SetIdleCallback([&] { ++idleCalls; });
    player->PlayClip((dir / "long.wav").string());
    EXPECT_LE(player->QueuedBytes(), player->BufferBytes());
    EXPECT_LE(double(player->BufferBytes()) / 2 / 22050, 0.025);
    // Half a second in steps of a few milliseconds.
    EXPECT_GT(idleCalls, 20) << "the window must be called back while waiting";
}

TEST(NoDevice, EveryClipIsSilentAndImmediate)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    TempDir dir;
    WriteFile(dir / "long.wav", MakeWav({}, Constant(4000, 22050)));
    speech::SdlClipPlayer player;
    EXPECT_FALSE(player.HasDevice());
    int waits = 0;
    player.SetIdleCallback([&] { ++waits; });
    player.PlayClip((dir / "long.wav").string());
    EXPECT_EQ(waits, 0);
}

}  // namespace
