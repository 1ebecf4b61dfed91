#pragma once
// Which font draws each character a window shows (labels, buttons, lists,
// menus), as Qt lays it out in the control's own font: every one should come
// from the program's own fonts ("Zorbanu ..."), whatever the desktop has,
// and where a Latin family is named, every Latin character from that one.
#include <QComboBox>
#include <QMenu>
#include <QRegularExpression>
#include <QTextLayout>

namespace testing_support {

// The characters drawn amiss, each once as "character family;".
inline QString DrawnAmiss(const QWidget& window, const QString& latinFamily = {})
{
    std::vector<std::pair<QString, QFont>> shown;
    for (const QWidget* widget : window.findChildren<QWidget*>())  // labels and buttons; a label's markup left out
        if (const QVariant text = widget->property("text"); text.isValid())
            shown.emplace_back(text.toString().remove(QRegularExpression("<[^>]*>")), widget->font());
    for (const QComboBox* list : window.findChildren<QComboBox*>())
        for (int i = 0; i < list->count(); ++i)
            shown.emplace_back(list->itemText(i), list->font());
    for (const QMenu* menu : window.findChildren<QMenu*>())
        for (const QAction* item : menu->actions())
            shown.emplace_back(item->text(), menu->font());
    QString amiss;
    for (const auto& [text, font] : shown)
        for (QChar c : text) {
            QTextLayout layout(QString(c), font);
            layout.beginLayout(), layout.createLine(), layout.endLayout();
            const QString family = layout.glyphRuns().value(0).rawFont().familyName();  // "" for none
            const QString entry = QString(c) + " " + family + ";";
            const bool latin = c.unicode() < 0x2000 && !latinFamily.isEmpty();  // to be drawn in latinFamily
            if (!c.isSpace() && !(latin ? family == latinFamily : family.startsWith("Zorbanu ")) && !amiss.contains(entry))
                amiss += entry;
        }
    return amiss;
}

}  // namespace testing_support
