#include <QApplication>

#include "quiz/Random.h"
#include "speech/SdlClipPlayer.h"
#include "window/Form1.h"
#include "window/HandlerGate.h"
#include "window/Widgets.h"

int main(int argc, char* argv[])
{
    window::InstallFontSubstitutions();
    QApplication app(argc, argv);
    window::InstallChineseQtTexts();
    quiz::ClockRandom random;
    speech::SdlClipPlayer player;
    player.SetIdleCallback(&window::HandlerGate::KeepPainting);
    window::Form1 form(random, player);
    form.Form_Load();
    form.show();
    return app.exec();
}
