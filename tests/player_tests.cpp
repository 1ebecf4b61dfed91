// The real SDL clip player on SDL's disk driver, which writes every sample
// it plays (22050 Hz mono 16-bit) to a file the test reads back.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <future>
#include <memory>
#include <thread>

#include "audio/SdlClipPlayer.h"
#include "speech/Clips.h"
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

// An answer from the sound thread, waited for with a bound.
template <typename T>
struct Awaited {
    std::function<void(T)> Give() { return [p = promise](T value) { p->set_value(std::move(value)); }; }
    std::optional<T> Wait(audio::Clock::duration bound = 10s)
    {
        return future.wait_for(bound) == std::future_status::ready ? std::optional(future.get()) : std::nullopt;
    }
    std::shared_ptr<std::promise<T>> promise = std::make_shared<std::promise<T>>();
    std::future<T> future = promise->get_future();
};
using End = std::optional<speech::SoundEnd>;

class DiskPlayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
        sound = std::make_unique<audio::SoundThread>("player_tests");
        player = std::make_unique<audio::SdlClipPlayer>(*sound, [this] { return folder; });
    }
    End PlayAndWait(const std::vector<std::string>& names, audio::Clock::duration bound = 10s)
    {
        Awaited<speech::SoundEnd> end;
        player->PlayReading(names, end.Give());
        return end.Wait(bound);
    }

    TempDir dir;
    std::filesystem::path out = dir / "out.raw";
    std::optional<std::filesystem::path> folder = dir.path();
    std::unique_ptr<audio::SoundThread> sound;
    std::unique_ptr<audio::SdlClipPlayer> player;
};

// Unplayable clips, each silent and costing no time: alone they open no
// device, and among playable ones they leave no gap. A word's form that the
// voice lacks is said in the word's own clip.
TEST_F(DiskPlayer, EveryShapeOfClipPlaysItsRealFramesWithoutAGapAndWhatCannotPlayIsSilent)
{
    WriteFile(dir / "text.wav", {'h', 'e', 'l', 'l', 'o'});
    WriteFile(dir / "no_samples.wav", Reshaped(ConstantClip(5000, 500), {{40, 0x7FFFF000}}, 44));
    WriteFile(dir / "empty.wav", ConstantClip(5000, 0));
    ASSERT_EQ(mkfifo((dir / "fifo.wav").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "folder.wav");
    WriteFile(dir / "huge.wav", ConstantClip(5000, 500));
    std::filesystem::resize_file(dir / "huge.wav", 1ull << 40);  // sparse: reading it whole would never end
    const std::vector<std::string> unplayable{"missing.wav", "text.wav", "no_samples.wav", "empty.wav",
                                              "fifo.wav", "folder.wav", "/dev/zero", "huge.wav"};
    EXPECT_EQ(PlayAndWait(unplayable), speech::SoundEnd::NoSound);
    EXPECT_FALSE(std::filesystem::exists(out)) << "nothing to play opened a device";

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
        {"5-low.wav", ConstantClip(7000, 900), 7000, 900},  // a form the voice lacks: its word's clip
    };
    std::vector<std::string> names;
    for (const auto& clip : clips) {
        WriteFile(dir / std::string(speech::WordOfForm(clip.name)), clip.bytes);
        names.insert(names.end(), {clip.name, unplayable[names.size() / 2]});
    }
    ASSERT_EQ(PlayAndWait(names, 30s), speech::SoundEnd::Played);
    sound->Stop();  // the device closed, the file is complete
    const auto runs = NonSilentSegments(ReadDiskOutput(out), 20);  // a resampled clip's tail wobbles a little
    const std::size_t lead = 22050 * audio::kLeadIn.count() / 1000;  // SDL may add a buffer before the unpause
    ASSERT_EQ(runs.size(), std::size(clips));
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_NEAR(runs[i].value, clips[i].value, 20) << clips[i].name;
        EXPECT_EQ(runs[i].length, std::size_t(clips[i].frames)) << clips[i].name;
        if (i == 0)
            EXPECT_TRUE(runs[0].start >= lead && runs[0].start <= lead + 2048) << "not the lead-in, then the first clip";
        else
            EXPECT_EQ(runs[i].start, runs[i - 1].start + runs[i - 1].length) << "gap before " << clips[i].name;
    }
}

// The disk driver cannot open a device whose file cannot be made: clips stay
// silent, the open is not tried again before the retry interval, and the
// reason is said once over two failed tries.
TEST_F(DiskPlayer, AFailedOpenIsTriedAgainOnlyAfterTheRetryInterval)
{
    out = dir / "later/out.raw";
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);  // read as the device opens
    WriteFile(dir / "a.wav", ConstantClip(1000, 220));
    testing::internal::CaptureStderr();
    ASSERT_EQ(PlayAndWait({"a.wav"}), speech::SoundEnd::NoSound);
    const auto failed = std::chrono::steady_clock::now();
    while (!std::filesystem::exists(out) && std::chrono::steady_clock::now() - failed < 10s) {
        if (std::chrono::steady_clock::now() - failed > audio::kRetryInterval * 3 / 2)
            std::filesystem::create_directory(dir / "later");
        PlayAndWait({"a.wav"});
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_GE(std::chrono::steady_clock::now() - failed, 2 * audio::kRetryInterval) << "tried again too soon";
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find("no sound"), said.rfind("no sound")) << "why there is no sound, said more than once:\n" << said;
    EXPECT_NE(said.find("no sound"), std::string::npos) << "nor said once";
}

// A sink that wakes late after a slow open: SDL's disk driver opens its
// named pipe once a reader comes, 0.7 s on. The pipe, cut to one page, is
// full before then (a writer of the test's keeps its bytes while no reader
// is left), so the driver's first write blocks, and the pipe takes nothing of
// the reading until 1.6 s after the open. The start grace counts from the
// open's return, so the reading is heard, not cut.
TEST_F(DiskPlayer, AStreamThatStartsLateAfterASlowOpenIsHeardWhole)
{
    ASSERT_EQ(mkfifo(out.c_str(), 0600), 0);
    const int both = open(out.c_str(), O_RDWR | O_NONBLOCK);
    const int filler = open(out.c_str(), O_WRONLY | O_NONBLOCK);
    fcntl(both, F_SETPIPE_SZ, 4096);
    for (std::size_t size : {512, 1})  // full to the byte
        while (write(filler, std::vector<char>(size).data(), size) > 0) {}
    close(both);  // no reader: the driver's open waits
    WriteFile(dir / "a.wav", ConstantClip(4000, 22050 / 2));
    Awaited<speech::SoundEnd> end;
    player->PlayClip("a.wav", end.Give());
    std::this_thread::sleep_for(700ms);
    const int reader = open(out.c_str(), O_RDONLY | O_NONBLOCK);
    std::this_thread::sleep_for(1600ms);
    std::ptrdiff_t heard = 0;
    for (pollfd wait{reader, POLLIN, 0}; heard < 22050 / 2 && poll(&wait, 1, 3000) == 1;) {
        std::int16_t buffer[2048];
        heard += std::count(buffer, buffer + std::max<ssize_t>(read(reader, buffer, sizeof buffer), 0) / 2, 4000);
    }
    close(reader);
    close(filler);
    EXPECT_EQ(end.Wait(), speech::SoundEnd::Played);
    EXPECT_EQ(heard, 22050 / 2) << "not heard whole";
}

// Waits, with a bound, until the sound thread is stuck; returns how long.
audio::Clock::duration UntilStuck(const audio::SoundThread& sound)
{
    const auto start = audio::Clock::now();
    while (!sound.Stuck() && audio::Clock::now() - start < 10s)
        std::this_thread::sleep_for(1ms);
    return audio::Clock::now() - start;
}

// A driver that does not answer: SDL's disk driver opening a named pipe
// blocks until someone opens its other end. The thread is stuck from the
// call's bound until it returns: sound asked for meanwhile is refused at
// once, and what was asked for before is not played, nor even opened for.
TEST_F(DiskPlayer, AnOpenThatHangsMakesTheThreadStuckUntilItReturnsAndItsReadingIsNeverHeard)
{
    ASSERT_EQ(mkfifo(out.c_str(), 0600), 0);
    WriteFile(dir / "long.wav", ConstantClip(4000, 5 * 22050));
    // A process ending while its sound thread is stuck in the driver runs
    // no destructor or exit handler, which would tear the driver down under
    // it: neither when it returns from main, nor when a library calls exit().
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto exitHandler = [] { std::_Exit(9); };
    EXPECT_EXIT(std::atexit(exitHandler); player->PlayClip("long.wav", {}); UntilStuck(*sound);
                audio::FinishProcess(*sound, 3); std::_Exit(8), testing::ExitedWithCode(3), "");
    EXPECT_EXIT(std::atexit(exitHandler); sound->GuardExit(); player->PlayClip("long.wav", {}); UntilStuck(*sound);
                std::exit(0), testing::ExitedWithCode(EXIT_FAILURE), "");
    Awaited<speech::SoundEnd> hung, queued, refused;
    testing::internal::CaptureStderr();  // SDL's disk driver names its file at each open
    player->PlayClip("long.wav", hung.Give());
    player->PlayClip("long.wav", queued.Give());
    EXPECT_GE(UntilStuck(*sound), audio::kCallBound - 50ms) << "stuck before its bound";
    player->PlayClip("long.wav", refused.Give());
    EXPECT_EQ(refused.Wait(0s), speech::SoundEnd::NoSound) << "not refused at once while stuck";
    // The open returns: the device is closed again, having played nothing,
    // and the reading queued behind it opens nothing.
    signal(SIGPIPE, SIG_IGN);
    const int pipe = open(out.c_str(), O_RDONLY);
    ASSERT_GE(pipe, 0);
    std::vector<std::int16_t> heard;
    bool closed = false;  // at once, not at the idle release
    const auto end = audio::Clock::now() + audio::kIdleRelease / 2;
    for (pollfd wait{pipe, POLLIN, 0}; !closed && audio::Clock::now() < end && poll(&wait, 1, 1000) == 1;) {
        std::int16_t buffer[4096];
        const ssize_t got = read(pipe, buffer, sizeof buffer);
        heard.insert(heard.end(), buffer, buffer + std::max<ssize_t>(got, 0) / 2);
        closed = got == 0;
    }
    close(pipe);
    EXPECT_TRUE(closed) << "the device opened for a reading no longer wanted was kept";
    EXPECT_EQ(std::count(heard.begin(), heard.end(), 0), std::ssize(heard)) << "the reading no longer wanted was played";
    EXPECT_EQ(hung.Wait(), speech::SoundEnd::NoSound);
    EXPECT_EQ(queued.Wait(2s), speech::SoundEnd::NoSound);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find("Writing to file"), said.rfind("Writing to file")) << "a device opened for sound no longer wanted";
    EXPECT_FALSE(sound->Stuck());
}

}  // namespace
