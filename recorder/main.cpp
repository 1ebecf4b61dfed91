#include <QApplication>
#include <QLockFile>
#include <QMessageBox>
#include <QStandardPaths>

#include "RecorderWindow.h"
#include "UserVoice.h"
#include "app/CommandLine.h"
#include "window/Widgets.h"

namespace {

const char kUsage[] =
    "用法: zorbanu-recorder [--help | --version]\n"
    "Usage: zorbanu-recorder [--help | --version]\n\n"
    "录制我的声音: 家长一个字一个字地录下读题用的十七个字, 算术练习就用这个声音读题。\n"
    "Record my voice: a parent records the seventeen words a problem is read from,\n"
    "and the arithmetic quiz speaks in that voice. Saved in ~/.local/share/zorbanu/clips.\n";

}  // namespace

int main(int argc, char* argv[])
{
    if (auto status = AnswerCommandLine(argc, argv, {"zorbanu-recorder", kUsage}))
        return *status;
    QApplication app(argc, argv);
    window::InstallFonts();
    QGuiApplication::setDesktopFileName("org.zorbanu.Recorder");
    QApplication::setFont(window::MakeFont(recorder::kTextFont));
    window::InstallChineseQtTexts();
    // Two recorders would race to make the same folder: the second says that
    // the first is open. The lock goes with the process, however it ends.
    QLockFile oneRecorder(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
                          "/zorbanu-recorder.lock");
    oneRecorder.setStaleLockTime(0);
    if (!oneRecorder.tryLock(0)) {
        QMessageBox::information(nullptr, "录制我的声音", "“录制我的声音”已经打开了。");
        return 0;
    }
    quiz::ClockRandom random;
    random.SeedRandom();
    speech::SoundThread sound("Zorbanu");
    auto keepPainting = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    recorder::SdlCapture capture(sound, keepPainting);
    speech::SdlClipPlayer player(sound, &recorder::ListeningFolder);
    player.SetIdleCallback(keepPainting);
    recorder::RecorderWindow window(capture, player, random);
    window.show();
    return app.exec();
}
