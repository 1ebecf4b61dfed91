#include <QApplication>

#include "CommandLine.h"
#include "StartUpWork.h"
#include "Translations.h"
#include "Usage.h"
#include "quiz/Random.h"
#include "speech/SdlClipPlayer.h"
#include "speech/VoiceFolder.h"
#include "window/Fonts.h"
#include "window/HandlerGate.h"
#include "window/QuizWindow.h"
#include "window/Widgets.h"

int main(int argc, char* argv[])
{
    std::error_code noWorkingFolder;
    const std::filesystem::path working = std::filesystem::current_path(noWorkingFolder);
    if (auto status = AnswerCommandLine(argc, argv, {"zorbanu", [&] { return QuizUsage(speech::ChooseVoiceFolder(working)); }}))
        return *status;
    // Both start their work at once, side by side with Qt's connecting to
    // the display: the sound thread loads SDL's audio drivers.
    speech::SoundThread sound("Zorbanu");
    StartUpWork work;
    QApplication app(argc, argv);
    work.WaitForFontConfiguration();
    window::InstallFonts();
    QGuiApplication::setDesktopFileName("org.zorbanu.Zorbanu");
    // The child's window, its menus and Qt's texts in it are Chinese; the
    // dialogs a parent may meet follow the desktop's language.
    window::InstallChineseQtTexts();
    InstallTranslations(QtTexts::None);
    quiz::ClockRandom random;
    speech::SdlClipPlayer player(sound, [working] { return speech::ChooseVoiceFolder(working); });
    player.SetIdleCallback(&window::HandlerGate::KeepPainting);
    window::QuizWindow window(random, player);
    window.StartUp();
    window.show();
    return app.exec();
}
