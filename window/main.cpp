#include <QApplication>

#include "CursorBlink.h"
#include "QuizWindow.h"
#include "StartUpWork.h"
#include "app/CommandLine.h"
#include "app/Fonts.h"
#include "app/SoundLink.h"
#include "app/Translations.h"
#include "app/Usage.h"
#include "quiz/Random.h"
#include "speech/VoiceFolder.h"

namespace {

int RunQuiz(audio::SoundThread& sound, const std::filesystem::path& working, int& argc, char* argv[])
{
    StartUpWork work;
    QApplication app(argc, argv);
    sound.GuardExit();
    work.WaitForFontConfiguration();
    app::InstallFonts();
    QGuiApplication::setDesktopFileName("org.zorbanu.Zorbanu");
    // The child's window, its menus and Qt's texts in it are Chinese; the
    // dialogs a parent may meet follow the desktop's language.
    InstallTranslations(QtTexts::SimplifiedChinese);
    window::CursorBlink blink;
    quiz::ClockRandom random;
    app::SoundLink link(sound);
    audio::SdlClipPlayer speaker(sound, [working] { return speech::ChooseVoiceFolder(working); });
    app::WindowPlayer player(speaker, link);
    window::QuizWindow window(random, player);
    // The window shows once its first problem has been heard.
    window.StartUp([&window] { window.show(); });
    return app.exec();
}

}  // namespace

int main(int argc, char* argv[])
{
    std::error_code noWorkingFolder;
    const std::filesystem::path working = std::filesystem::current_path(noWorkingFolder);
    if (auto status = AnswerCommandLine(argc, argv, {"zorbanu", [&] { return QuizUsage(speech::ChooseVoiceFolder(working)); }}))
        return *status;
    // The sound thread loads SDL's audio drivers while Qt connects to the
    // display and the font configuration is read. With it stuck in a
    // driver at the end, the process ends without tearing the driver down.
    audio::SoundThread sound("Zorbanu");
    return audio::FinishProcess(sound, RunQuiz(sound, working, argc, argv));
}
