#include "CursorBlink.h"

#include <QApplication>
#include <QEvent>

namespace window {

CursorBlink::CursorBlink() : flashTime_(QApplication::cursorFlashTime())
{
    timeout_.setSingleShot(true);
    timeout_.setInterval(kBlinkTimeout);
    // A steady cursor, shown: Qt stops the blink timer when the time is 0.
    connect(&timeout_, &QTimer::timeout, this, [] { QApplication::setCursorFlashTime(0); });
    QApplication::instance()->installEventFilter(this);
    timeout_.start();
}

CursorBlink::~CursorBlink() { QApplication::instance()->removeEventFilter(this); }

bool CursorBlink::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::InputMethod:
    case QEvent::WindowActivate:
        if (QApplication::cursorFlashTime() != flashTime_)
            QApplication::setCursorFlashTime(flashTime_);
        timeout_.start();
        break;
    default:
        break;
    }
    return false;
}

}  // namespace window
