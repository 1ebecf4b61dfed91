// The real SDL clip player on SDL's disk driver, which writes every sample
// it plays (22050 Hz mono 16-bit) to a file the test reads back.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "speech/SdlClipPlayer.h"
#include "support/Wav.h"

using namespace testing_support;

namespace {

// bytes with the 32-bit little-endian field at offset set to value.
std::vector<std::uint8_t> Patched(std::vector<std::uint8_t> bytes, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
}

// bytes cut to size, then tail appended.
std::vector<std::uint8_t> Reshaped(std::vector<std::uint8_t> bytes, std::size_t size,
                                   std::initializer_list<std::uint8_t> tail = {})
{
    bytes.resize(size);
    bytes.insert(bytes.end(), tail);
    return bytes;
}

class DiskPlayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
        player = std::make_unique<speech::SdlClipPlayer>();
        ASSERT_TRUE(player->HasDevice());
        player->SetFolder(dir.path());
        player->SetIdleCallback([this] { ++waits; });
    }

    // Plays the clips by bare name, closes the device so the file is
    // complete, and returns what was heard.
    std::vector<Segment> Play(const std::vector<std::string>& names)
    {
        for (const std::string& name : names)
            player->PlayClip(name);
        player.reset();
        return NonSilentSegments(ReadDiskOutput(dir / "out.raw"));
    }

    TempDir dir;
    std::unique_ptr<speech::SdlClipPlayer> player;
    int waits = 0;
};

TEST_F(DiskPlayer, EveryShapeOfClipPlaysItsRealFramesWithoutAGap)
{
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        int value, frames;
    } clips[] = {
        {"plain.wav", MakeWav({}, Constant(1000, 2000)), 1000, 2000},
        {"resampled.wav", MakeWav({1, 44100}, Constant(9000, 13230)), 9000, 6615},  // 0.3 s, its tail kept
        {"stereo.wav", MakeWav({2, 22050}, Constant(-8192, 1200)), -8192, 1200},
        {"espeak_stdout.wav", Patched(MakeWav({}, Constant(3000, 1300)), 40, 0x7FFFF000), 3000, 1300},
        {"piped.wav", Patched(Patched(MakeWav({}, Constant(4000, 1400)), 4, 0xFFFFFFFF), 40, 0xFFFFFFFF), 4000, 1400},
        {"cut_mid_frame.wav", Reshaped(MakeWav({}, Constant(5000, 2000)), 44 + 2 * 1500 + 1), 5000, 1500},
        {"junk_chunk_after.wav", Reshaped(MakeWav({}, Constant(6000, 1600)), 44 + 2 * 1600, {'L', 'I', 'S', 'T', 0xFF, 9}),
         6000, 1600},
    };
    std::vector<std::string> names;
    for (const auto& clip : clips) {
        WriteFile(dir / clip.name, clip.bytes);
        names.push_back(clip.name);
    }
    std::vector<Segment> runs;  // neighbours a little apart merged: a resampled tail wobbles
    for (const Segment& run : Play(names))
        if (!runs.empty() && runs.back().start + runs.back().length == run.start && std::abs(run.value - runs.back().value) < 20)
            runs.back().length += run.length;
        else
            runs.push_back(run);
    ASSERT_EQ(runs.size(), std::size(clips));
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_NEAR(runs[i].value, clips[i].value, 20) << clips[i].name;
        EXPECT_EQ(runs[i].length, std::size_t(clips[i].frames)) << clips[i].name;
        EXPECT_EQ(runs[i].start, i ? runs[i - 1].start + runs[i - 1].length : runs[i].start) << "gap before " << clips[i].name;
    }
}

TEST_F(DiskPlayer, WhatCannotPlayIsSilentAtOnce)
{
    alarm(60);  // guards against a hang only: each of these must return at once
    const auto wav = MakeWav({}, Constant(5000, 500));
    WriteFile(dir / "text.wav", {'h', 'e', 'l', 'l', 'o'});
    WriteFile(dir / "no_samples.wav", Patched(Reshaped(wav, 44), 40, 0x7FFFF000));
    WriteFile(dir / "fmt_overruns.wav", Patched(wav, 16, 0x10000));
    WriteFile(dir / "gsm.wav", Patched(wav, 20, 0x10031));  // format GSM 6.10, mono
    WriteFile(dir / "empty.wav", MakeWav({}, {}));
    ASSERT_EQ(mkfifo((dir / "fifo.wav").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "folder.wav");
    for (const char* name : {"missing.wav", "text.wav", "no_samples.wav", "fmt_overruns.wav", "gsm.wav",
                             "empty.wav", "fifo.wav", "folder.wav", "/dev/zero"})
        player->PlayClip(name);
    EXPECT_EQ(waits, 0) << "an unplayable clip must not be waited for";
    EXPECT_TRUE(Play({}).empty());
    alarm(0);
}

TEST_F(DiskPlayer, ReturnsWithinOneBufferAndKeepsTheWindowPainting)
{
    WriteFile(dir / "long.wav", MakeWav({}, Constant(4000, 22050 / 2)));
    player->PlayClip("long.wav");
    EXPECT_LE(player->QueuedBytes(), player->BufferBytes());
    EXPECT_LE(double(player->BufferBytes()) / 2 / 22050, 0.025);
    EXPECT_GT(waits, 20) << "half a second in steps of a few milliseconds";
    player->SetFolder(std::nullopt);
    waits = 0;
    player->PlayClip("long.wav");
    EXPECT_EQ(waits, 0) << "with no voice folder every clip is silent";
}

}  // namespace
