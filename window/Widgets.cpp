#include "Widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <climits>
#include <cmath>

// Resources embedded in a static library are dropped by the linker unless
// registered; Q_INIT_RESOURCE may not stand inside a namespace.
static void RegisterPictures()
{
    Q_INIT_RESOURCE(pictures);
}

namespace window {

void LoadPictureResources()
{
    RegisterPictures();
}

QColor ResolveColour(Colour colour, const QPalette& palette)
{
    switch (colour) {
    case Colour::ButtonFace:
        return palette.color(QPalette::Button);
    case Colour::ButtonText:
        return palette.color(QPalette::ButtonText);
    case Colour::WindowText:
        return palette.color(QPalette::WindowText);
    case Colour::PureRed:
        return QColor(255, 0, 0);
    case Colour::PureBlue:
        return QColor(0, 0, 255);
    }
    return {};
}

StretchedPicture::StretchedPicture(const QString& path, QWidget* parent) : QWidget(parent), path_(path) {}

// The renderings are read on the first paint, not at start-up: the pictures
// stay hidden until the first answer.
void StretchedPicture::paintEvent(QPaintEvent*)
{
    if (renderings_.empty()) {
        const QString stem = path_.chopped(4);  // without ".png"
        for (const QString& file : {path_, stem + "@1.5x.png", stem + "@2x.png"})
            if (QImage image(file); !image.isNull())
                renderings_.push_back(image);
    }
    if (renderings_.empty())
        return;
    const double wanted = width() * devicePixelRatioF();
    auto distance = [wanted](const QImage& image) { return std::abs(image.width() - wanted); };
    const QImage& best = *std::min_element(renderings_.begin(), renderings_.end(),
                                           [&](const QImage& a, const QImage& b) { return distance(a) < distance(b); });
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), best);
}

void RuleLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, width(), 1), palette().color(foregroundRole()));
}

namespace {

QWidget* MakeWidget(const ControlSpec& spec, QWidget* parent)
{
    const QString text = QString::fromUtf8(spec.text);
    switch (spec.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(text, parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(spec.alignment);
        return label;
    }
    case ControlKind::AnswerBox: {
        auto* box = new QLineEdit(text, parent);
        box->setFrame(false);
        box->setAlignment(spec.alignment);
        // Qt keeps a few pixels free right of the text; take back all but
        // the text cursor's column, so the answer's units stand under the
        // operands' units.
        box->setTextMargins(0, 0, -3, 0);
        box->setMaxLength(INT_MAX);
        return box;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(text, parent);
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    }
    case ControlKind::Picture: {
        auto* picture = new StretchedPicture(QString::fromUtf8(spec.picture), parent);
        picture->hide();
        return picture;
    }
    case ControlKind::Line: {
        auto* line = new RuleLine(parent);
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
        return line;
    }
    }
    return nullptr;
}

void ApplyColours(const ControlSpec& spec, QWidget* widget)
{
    QPalette palette = widget->palette();
    if (spec.textColour) {
        QColor colour = ResolveColour(*spec.textColour, palette);
        palette.setColor(QPalette::WindowText, colour);
        palette.setColor(QPalette::Text, colour);
    }
    if (spec.background) {
        QColor colour = ResolveColour(*spec.background, palette);
        palette.setColor(QPalette::Window, colour);
        palette.setColor(QPalette::Base, colour);
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

}  // namespace

QWidget* MakeControl(const ControlSpec& spec, QWidget* parent)
{
    QWidget* widget = MakeWidget(spec, parent);
    widget->setObjectName(spec.objectName);
    QRect box = PixelsFromTwips(spec.twips);
    if (spec.kind == ControlKind::Line)
        box.setHeight(1);
    widget->setGeometry(box);
    widget->setFont(app::MakeFont(spec.font.value_or(kWindowFont)));
    ApplyColours(spec, widget);
    return widget;
}

}  // namespace window
