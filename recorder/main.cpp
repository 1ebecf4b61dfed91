#include <QApplication>
#include <QLockFile>
#include <QMessageBox>
#include <QStandardPaths>

#include "RecorderWindow.h"
#include "UserVoice.h"
#include "app/CommandLine.h"
#include "app/Fonts.h"
#include "app/SoundLink.h"
#include "app/Translations.h"
#include "app/Usage.h"

namespace {

int RunRecorder(audio::SoundThread& sound, int& argc, char* argv[])
{
    QApplication app(argc, argv);
    app::InstallFonts();
    QGuiApplication::setDesktopFileName("org.zorbanu.Zorbanu.Recorder");
    QApplication::setFont(app::MakeFont(recorder::kTextFont));
    InstallTranslations(QtTexts::DesktopLanguage);
    // Two recorders would race to make the same folder: the second says that
    // the first is open. The lock goes with the process, however it ends.
    QLockFile oneRecorder(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
                          "/zorbanu-recorder.lock");
    oneRecorder.setStaleLockTime(0);
    if (!oneRecorder.tryLock(0)) {
        QMessageBox::information(nullptr, recorder::RecorderWindow::tr("Record my voice"),
                                 recorder::RecorderWindow::tr("Record my voice is already open."));
        return 0;
    }
    quiz::ClockRandom random;
    random.SeedRandom();
    sound.GuardExit();
    app::SoundLink link(sound);
    audio::SdlCapture capture(sound);
    audio::SdlClipPlayer speaker(sound, &recorder::ListeningFolder);
    app::WindowPlayer player(speaker, link);
    recorder::RecorderWindow window(capture, player, link, random);
    window.show();
    return app.exec();
}

}  // namespace

int main(int argc, char* argv[])
{
    if (auto status = AnswerCommandLine(argc, argv, {"zorbanu-recorder", &RecorderUsage}))
        return *status;
    audio::SoundThread sound("Zorbanu");
    return audio::FinishProcess(sound, RunRecorder(sound, argc, argv));
}
