#include "CursorBlink.h"

#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>

namespace window {
namespace {

// 0: Qt stops the blink timer and shows the cursor steadily. -1: the
// desktop's own flash time again, followed as it changes.
constexpr int kSteady = 0;
constexpr int kDesktops = -1;

}  // namespace

CursorBlink::CursorBlink()
{
    timeout_.setSingleShot(true);
    timeout_.setInterval(kBlinkTimeout);
    connect(&timeout_, &QTimer::timeout, this, [] { QGuiApplication::styleHints()->setCursorFlashTime(kSteady); });
    QGuiApplication::instance()->installEventFilter(this);
    timeout_.start();
}

CursorBlink::~CursorBlink() { QGuiApplication::instance()->removeEventFilter(this); }

// Setting the flash time it already has costs nothing: Qt ignores it.
bool CursorBlink::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::InputMethod:
    case QEvent::WindowActivate:
        QGuiApplication::styleHints()->setCursorFlashTime(kDesktops);
        timeout_.start();
        break;
    default:
        break;
    }
    return false;
}

}  // namespace window
