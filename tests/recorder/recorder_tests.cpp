// The real recorder window on SDL's disk driver, whose microphone is a file
// holding 加 spoken by espeak-ng, over a fake installed pack of constant
// clips.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "app/Fonts.h"
#include "app/Translations.h"
#include "recorder/RecorderWindow.h"
#include "recorder/UserVoice.h"
#include "speech/Clips.h"
#include "speech/WavFile.h"
#include "support/Glyphs.h"
#include "support/Wav.h"

using namespace testing_support;

namespace {

int ValueOf(std::size_t clip) { return 1000 + 500 * static_cast<int>(clip); }

TEST(Recorder, SavesTheSpokenWordBesideCopiesOfTheBuiltInClips)
{
    static int argc = 1;
    static char name[] = "recorder_tests", *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    app::InstallFonts();
    InstallTranslations(QtTexts::DesktopLanguage);
    TempDir dir;
    const auto own = dir / "home/zorbanu/clips", pack = dir / "share/zorbanu/clips";
    std::filesystem::create_directories(pack);
    for (std::size_t i = 0; i < speech::kSpeechClips.size(); ++i)
        WriteFile(pack / speech::kSpeechClips[i].clip, ConstantClip(ValueOf(i), 2205));
    for (const speech::WordForm& form : speech::kWordForms)
        WriteFile(pack / form.clip, ConstantClip(100, 2205));
    const std::string word = (dir / "word.wav").string(), mic = (dir / "mic.raw").string();
    ASSERT_EQ(std::system(("espeak-ng -v cmn-latn-pinyin -w " + word + " 加 && sox " + word +
                           " -r 22050 -c 1 -b 16 -e signed-integer -t raw " + mic + " pad 0.4 3").c_str()), 0);
    setenv("XDG_DATA_HOME", (dir / "home").c_str(), 1);
    setenv("XDG_DATA_DIRS", (dir / "share").c_str(), 1);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILEIN", mic.c_str(), 1);
    setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
    std::filesystem::create_directories(dir / "home/zorbanu/.clips.new.killed");
    std::filesystem::last_write_time(dir / "home/zorbanu/.clips.new.killed", std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    audio::SoundThread sound("recorder_tests");
    app::SoundLink link(sound);
    audio::SdlCapture capture(sound);
    audio::SdlClipPlayer speaker(sound, &recorder::ListeningFolder);
    app::WindowPlayer player(speaker, link);
    quiz::ClockRandom random;
    recorder::RecorderWindow window(capture, player, link, random);
    EXPECT_EQ(DrawnAmiss(window, app::kSansFamily).toStdString(), "") << "drawn from the system's fonts, or Latin not in the sans-serif";
    auto* record = window.findChild<QPushButton*>("record:+.wav");
    const std::map<std::string, std::string> recordIn{{"en_US", "Record"}, {"zh_CN", "录音"}, {"zh_TW", "錄音"}};
    EXPECT_EQ(record->text().toStdString(), recordIn.at(QLocale::system().name().toStdString())) << "not in the desktop's locale";
    const auto recording = [&](QPushButton* button, bool is) {
        return QTest::qWaitFor([&] { return (button->text() == recorder::RecorderWindow::tr("Stop")) == is; }, 5000);
    };
    record->click();
    ASSERT_TRUE(recording(record, true) && recording(record, false));  // ends itself after 3 s
    ASSERT_EQ(window.findChild<QLabel*>("status:+.wav")->text(), recorder::RecorderWindow::tr("Recorded"));
    std::error_code gone;  // the iterator's own descriptor
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd"))  // closed, not paused
        EXPECT_NE(std::filesystem::read_symlink(fd, gone), mic) << "the microphone is still open";
    // The word's clip; every other clip a copy of the pack's, and what a
    // recorder killed while saving left is gone.
    auto clip = ReadDiskOutput(own / "+.wav");
    clip.erase(clip.begin(), clip.begin() + 22);  // the 44-byte header the recorder writes
    const auto pause = static_cast<long>(speech::kSignPauseMs * speech::kClipRate / 1000);
    EXPECT_EQ(std::count(clip.begin(), clip.begin() + pause, 0) + std::count(clip.end() - pause, clip.end(), 0),
              2 * pause) << "a sign keeps its quiet before and after the word";
    EXPECT_FALSE(std::filesystem::exists(dir / "home/zorbanu/.clips.new.killed"));
    for (const speech::SpokenWord& clip : speech::kSpeechClips)
        EXPECT_EQ(clip.clip == "+.wav", speech::ReadClipFile(own / clip.clip) != speech::ReadClipFile(pack / clip.clip))
            << clip.clip;
    for (const speech::WordForm& form : speech::kWordForms)  // they would stand in for the parent's own words
        EXPECT_FALSE(std::filesystem::exists(own / form.clip)) << "the built-in " << form.clip << " was copied";
    // A word's form is recorded like a word, without the quiet; Restore removes it with the rest.
    auto* recordForm = window.findChild<QPushButton*>("record:5-low.wav");
    recordForm->click();
    ASSERT_TRUE(recording(recordForm, true) && recording(recordForm, false));
    const auto form = ReadDiskOutput(own / "5-low.wav");
    EXPECT_LT(std::count(form.begin() + 22, form.begin() + 22 + pause, 0), pause / 10) << "quiet before a number word";
    window.findChild<QPushButton*>("restore")->click();
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 5000));
    qobject_cast<QMessageBox*>(QApplication::activeModalWidget())->button(QMessageBox::Yes)->click();
    EXPECT_FALSE(std::filesystem::exists(own));
    // No microphone, then one that does not answer (a pipe with no writer):
    // each said as it is, and the one that opens once the pipe has a writer,
    // after its take was answered, is closed at once, so the pipe breaks.
    // Then one whose reads never return (a writer that says nothing): Stop
    // hangs in the close, and the window says so.
    const auto* message = window.findChild<QLabel*>("message");
    auto says = [&](const QString& text) { return QTest::qWaitFor([&] { return message->text() == text; }, 5000); };
    const QString noAnswer = recorder::RecorderWindow::tr(
        "The sound system is not answering, so nothing was recorded. Press Record again in a moment.");
    setenv("SDL_DISKAUDIOFILEIN", (dir / "none").c_str(), 1);
    record->click();
    EXPECT_TRUE(says(recorder::RecorderWindow::tr("No microphone was found, so nothing can be recorded. Plug one in and try again.")));
    ASSERT_EQ(mkfifo((dir / "deaf").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((dir / "mute").c_str(), 0600), 0);
    setenv("SDL_DISKAUDIOFILEIN", (dir / "deaf").c_str(), 1);
    record->click();
    EXPECT_TRUE(says(noAnswer)) << message->text().toStdString();
    signal(SIGPIPE, SIG_IGN);
    const int deaf = open((dir / "deaf").c_str(), O_WRONLY);
    fcntl(deaf, F_SETFL, O_NONBLOCK);
    const std::vector<char> quiet(4096);
    EXPECT_TRUE(QTest::qWaitFor([&] { return write(deaf, quiet.data(), quiet.size()) < 0 && errno == EPIPE; }, 5000))
        << "the microphone of a take answered \"not answering\" is still open";
    close(deaf);
    const int mute = open((dir / "mute").c_str(), O_RDWR);
    setenv("SDL_DISKAUDIOFILEIN", (dir / "mute").c_str(), 1);
    record->click();
    ASSERT_TRUE(recording(record, true));
    int unread = int(write(mute, quiet.data(), 100));  // the driver is in its read once it took these
    ASSERT_TRUE(QTest::qWaitFor([&] { return ioctl(mute, FIONREAD, &unread) == 0 && unread == 0; }, 5000));
    record->click();
    EXPECT_TRUE(says(noAnswer)) << message->text().toStdString();
    close(mute);
}

}  // namespace
