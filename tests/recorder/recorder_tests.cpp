// The real recorder window on SDL's disk driver, whose microphone is a file
// holding 加 spoken by espeak-ng, over a fake installed pack of constant
// clips; then the real quiz program speaking from the folder it recorded.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gmock/gmock.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "recorder/RecorderWindow.h"
#include "speech/TakeProcessing.h"
#include "speech/VoiceFolder.h"
#include "support/Wav.h"
#include "window/Widgets.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

int ValueOf(std::size_t clip) { return 1000 + 500 * static_cast<int>(clip); }

class Recorder : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir / "share/zorbanu/clips");
        for (std::size_t i = 0; i < speech::PackClipNames().size(); ++i)
            WriteFile(dir / "share/zorbanu/clips" / speech::PackClipNames()[i], MakeWav({}, Constant(ValueOf(i), 2205)));
        setenv("XDG_DATA_HOME", (dir / "home").c_str(), 1);
        setenv("XDG_DATA_DIRS", (dir / "share").c_str(), 1);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILEIN", (dir / "mic.raw").c_str(), 1);
        setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
        const std::string make = "espeak-ng -v cmn-latn-pinyin -w " + (dir / "word.wav").string() + " 加 && sox " +
                                 (dir / "word.wav").string() + " -r 22050 -c 1 -b 16 -e signed-integer -t raw " +
                                 (dir / "mic.raw").string() + " pad 0.4 3";
        ASSERT_EQ(std::system(make.c_str()), 0);
    }

    // Records 加 and returns the seconds from the end of the take to the
    // clip being saved; stopAfterMs 0 lets the take end by itself.
    double Record(int stopAfterMs)
    {
        recorder::SdlCapture capture;
        speech::SdlClipPlayer player;
        quiz::ClockRandom random;
        recorder::RecorderWindow window(capture, player, random);
        auto* record = window.findChild<QPushButton*>("record:+.wav");
        record->click();
        EXPECT_EQ(record->text(), "停止");
        QTest::qWait(stopAfterMs);
        const auto end = std::chrono::steady_clock::now();
        if (stopAfterMs > 0)
            record->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return record->text() == "录音"; }, 5000));
        EXPECT_EQ(window.findChild<QLabel*>("status:+.wav")->text(), "已录");
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - end).count();
    }

    std::vector<std::int16_t> Clip(const fs::path& path) const
    {
        return speech::DecodeWav(speech::ReadWholeFile(path).value_or(std::vector<std::uint8_t>{})).value_or(std::vector<std::int16_t>{});
    }

    TempDir dir;
};

TEST_F(Recorder, SavesTheSpokenWordTrimmedAndLevelledBesideACopyOfThePack)
{
    std::printf("end of take to clip saved: %.1f ms\n", 1000 * Record(2000));
    const auto word = speech::DecodeWav(*speech::ReadWholeFile(dir / "word.wav")).value();
    auto loud = [](std::int16_t s) { return std::abs(int(s)) > 330; };  // -40 dBFS
    const auto spoken = std::find_if(word.rbegin(), word.rend(), loud).base() - std::find_if(word.begin(), word.end(), loud);
    const auto clip = Clip(dir / "home/zorbanu/clips/+.wav");
    EXPECT_NEAR(double(clip.size()), double(spoken), 0.03 * 22050);
    EXPECT_NEAR(speech::RmsDb(clip), -18, 0.3);
    EXPECT_LE(speech::PeakDb(clip), -0.99);
    for (const std::string& name : speech::PackClipNames()) {
        if (name != "+.wav") {
            EXPECT_EQ(speech::ReadWholeFile(dir / "home/zorbanu/clips" / name), speech::ReadWholeFile(dir / "share/zorbanu/clips" / name)) << name;
        }
    }
}

TEST_F(Recorder, QuizSpeaksTheRecordedWordAndTheBuiltInRest)
{
    Record(0);
    fs::create_directories(dir / "empty");
    const auto clip = Clip(dir / "home/zorbanu/clips/+.wav");
    ASSERT_FALSE(clip.empty());
    const pid_t pid = fork();  // no assertion may return between here and kill
    if (pid == 0) {
        setenv("SDL_DISKAUDIOFILE", (dir / "quiz.raw").c_str(), 1);
        if (chdir((dir / "empty").c_str()) == 0)
            execl(ZORBANU_BINARY, "zorbanu", static_cast<char*>(nullptr));
        _exit(127);
    }
    std::vector<std::int16_t> out;
    auto at = out.end();
    auto heard = [&] {  // the runs of constant clips after the recorded one
        out = ReadDiskOutput(dir / "quiz.raw");
        at = std::search(out.begin(), out.end(), clip.begin(), clip.end());
        return at == out.end() ? std::vector<Segment>{} : NonSilentSegments({at + std::ssize(clip), out.end()});
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return heard().size() == 2 && heard()[1].length == 2205; }, 20000));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    const auto after = heard();
    ASSERT_NE(at, out.end()) << "the recorded clip was not played whole";
    const auto before = NonSilentSegments({out.begin(), at});
    auto name = [](const Segment& run) { return speech::PackClipNames().at(std::size_t(run.value - 1000) / 500); };
    ASSERT_EQ(before.size(), 1u);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_THAT(name(before[0]), ::testing::MatchesRegex("[1-9]\\.wav"));
    EXPECT_THAT(name(after[0]), ::testing::MatchesRegex("[1-9]\\.wav"));
    EXPECT_EQ(name(after[1]), "=.wav");
    EXPECT_EQ(before[0].length + after[0].length + after[1].length, 3u * 2205);
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");  // test discovery runs without the test environment
    window::InstallFontSubstitutions();
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
