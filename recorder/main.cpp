#include <QApplication>
#include <QLockFile>
#include <QMessageBox>
#include <QStandardPaths>

#include "RecorderWindow.h"
#include "UserVoice.h"
#include "app/CommandLine.h"
#include "app/Translations.h"
#include "app/Usage.h"
#include "window/Widgets.h"

int main(int argc, char* argv[])
{
    if (auto status = AnswerCommandLine(argc, argv, {"zorbanu-recorder", &RecorderUsage}))
        return *status;
    QApplication app(argc, argv);
    window::InstallFonts();
    QGuiApplication::setDesktopFileName("org.zorbanu.Zorbanu.Recorder");
    QApplication::setFont(window::MakeFont(recorder::kTextFont));
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
    speech::SoundThread sound("Zorbanu");
    recorder::SdlCapture capture(sound, &window::HandlerGate::KeepPainting);
    speech::SdlClipPlayer player(sound, &recorder::ListeningFolder);
    player.SetIdleCallback(&window::HandlerGate::KeepPainting);
    recorder::RecorderWindow window(capture, player, random);
    window.show();
    return app.exec();
}
