// Test main for suites that need a QApplication: offscreen unless told
// otherwise, and the fonts mapped first, as the program does.
#include <QApplication>
#include <gtest/gtest.h>

#include "window/Widgets.h"

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    window::InstallFontSubstitutions();
    QApplication app(argc, argv);
    window::InstallChineseQtTexts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
