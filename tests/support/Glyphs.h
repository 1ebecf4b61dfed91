#pragma once
// The characters a window shows (title, labels, buttons, lists, menus) that
// the program's own fonts, beside the test program, lack: they would be drawn
// from the system's fonts, or as boxes on a desktop without Chinese fonts.
#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QRawFont>

namespace testing_support {

inline QString MissingGlyphs(const QWidget& window)
{
    const QString fonts = QCoreApplication::applicationDirPath() + "/fonts/zorbanu-";
    const QRawFont song(fonts + "song.ttf", 12), kai(fonts + "kai.ttf", 12);
    QString shown = window.windowTitle(), missing;
    for (const QLabel* label : window.findChildren<QLabel*>())
        shown += label->text();
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
        shown += button->text();
    for (const QComboBox* list : window.findChildren<QComboBox*>())
        for (int i = 0; i < list->count(); ++i)
            shown += list->itemText(i);
    for (const QMenu* menu : window.findChildren<QMenu*>())
        for (const QAction* item : menu->actions())
            shown += item->text();
    for (QChar c : shown)
        if (!c.isSpace() && !(song.supportsCharacter(c) && kai.supportsCharacter(c)) && !missing.contains(c))
            missing += c;
    return missing;
}

}  // namespace testing_support
