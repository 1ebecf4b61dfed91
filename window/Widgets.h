#pragma once
// Builds one widget from its row of the window's description: geometry,
// text, font, colours, alignment and picture. The factory for every control
// of Form1.

#include <QFont>
#include <QWidget>

#include "Layout.h"

namespace window {

// Maps the design's font names onto installed faces of the same style that
// cover Simplified Chinese. Must run before the QApplication is made.
void InstallFontSubstitutions();

// Qt's own texts (the answer box's edit menu, message box buttons) in
// Simplified Chinese, like everything else the child sees.
void InstallChineseQtTexts();

QFont MakeFont(const FontSpec& spec);
QColor ResolveColour(Colour colour, const QPalette& palette);
QWidget* MakeControl(const ControlSpec& spec, QWidget* parent);

// A one-pixel rule in the window-text colour.
class RuleLine final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace window
