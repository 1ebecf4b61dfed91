#include <QApplication>

#include "CommandLine.h"
#include "StartUpWork.h"
#include "Usage.h"
#include "quiz/Random.h"
#include "speech/VoiceFolder.h"
#include "window/Fonts.h"
#include "window/HandlerGate.h"
#include "window/QuizWindow.h"
#include "window/Widgets.h"

int main(int argc, char* argv[])
{
    std::error_code noWorkingFolder;
    const std::filesystem::path working = std::filesystem::current_path(noWorkingFolder);
    if (auto status = AnswerCommandLine(argc, argv, {"zorbanu", QuizUsage(speech::ChooseVoiceFolder(working))}))
        return *status;
    StartUpWork work(working);
    QApplication app(argc, argv);
    work.WaitForFontConfiguration();
    window::InstallFonts();
    QGuiApplication::setDesktopFileName("org.zorbanu.Zorbanu");
    window::InstallChineseQtTexts();
    quiz::ClockRandom random;
    const auto player = work.TakePlayer();
    player->SetIdleCallback(&window::HandlerGate::KeepPainting);
    window::QuizWindow window(random, *player);
    window.StartUp();
    window.show();
    return app.exec();
}
