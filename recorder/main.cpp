#include <QApplication>

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
    quiz::ClockRandom random;
    random.SeedRandom();
    recorder::SdlCapture capture;
    speech::SdlClipPlayer player(&recorder::ListeningFolder);
    recorder::RecorderWindow window(capture, player, random);
    window.show();
    return app.exec();
}
