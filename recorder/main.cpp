#include <QApplication>

#include "RecorderWindow.h"
#include "UserVoice.h"
#include "window/Widgets.h"

int main(int argc, char* argv[])
{
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
