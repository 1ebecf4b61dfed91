#pragma once
// Builds one widget from its row of the window's description: geometry,
// text, font, colours, alignment and picture. The factory for every control
// of the quiz window.

#include <QWidget>

#include "app/Fonts.h"
#include "Layout.h"

namespace window {

// Registers the pictures embedded in this library: tick and cross.
void LoadPictureResources();

QColor ResolveColour(Colour colour, const QPalette& palette);
QWidget* MakeControl(const ControlSpec& spec, QWidget* parent);

// A picture stretched to fill its box, drawn from whichever of its
// renderings (path, and path's @1.5x and @2x versions) comes closest to the
// box's size in device pixels, so it stays sharp on scaled screens.
class StretchedPicture final : public QWidget {
public:
    StretchedPicture(const QString& path, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString path_;
    std::vector<QImage> renderings_;
};

// A one-pixel rule in the window-text colour.
class RuleLine final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace window
