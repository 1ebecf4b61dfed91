#include "HandlerGate.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <exception>

namespace app {
namespace {

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

}  // namespace

void RunReported(const std::function<void()>& work)
{
    try {
        work();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Zorbanu"),
                              QCoreApplication::translate("HandlerGate", "Runtime error: %1")
                                  .arg(QString::fromUtf8(error.what())));
        // End at once: there is nothing to save, and tearing the window down
        // from inside one of its own handlers is not safe.
        std::_Exit(EXIT_FAILURE);
    }
}

HandlerGate::HandlerGate(QWidget* window) : window_(window)
{
    QCoreApplication::instance()->installEventFilter(this);
}

HandlerGate::~HandlerGate() { QCoreApplication::instance()->removeEventFilter(this); }

void HandlerGate::Run(std::function<void(Done)> handler)
{
    pending_.push_back(std::move(handler));
    Pump();
}

void HandlerGate::Run(std::function<void()> handler)
{
    Run([handler = std::move(handler)](const Done& done) { handler(), done(); });
}

// Runs the next handler while none is busy, then hands over held input.
// Reentered from a handler it runs, it leaves the work to the loop already
// going.
void HandlerGate::Pump()
{
    if (pumping_)
        return;
    pumping_ = true;
    while (!busy_ && !pending_.empty()) {
        std::function<void(Done)> next = std::move(pending_.front());
        pending_.pop_front();
        busy_ = true;
        auto ended = std::make_shared<bool>(false);
        RunReported([&] {
            next([this, ended] {
                if (!std::exchange(*ended, true))
                    busy_ = false, Pump();
            });
        });
    }
    pumping_ = false;
    if (!busy_ && !delivering_)
        DeliverHeldInput();
}

// One event at a time, each delivered whole before the next: a handler it
// starts runs at once, as for input that was never held, and one that
// goes on past its return leaves the rest held.
void HandlerGate::DeliverHeldInput()
{
    delivering_ = true;
    while (!busy_ && !held_.empty()) {
        auto [receiver, event] = std::move(held_.front());
        held_.pop_front();
        if (receiver)
            QCoreApplication::sendEvent(receiver, event.get());
    }
    delivering_ = false;
}

// Input arrives at the window's platform window first, then at its widgets
// (a test sends it to them directly).
bool HandlerGate::Within(QObject* watched) const
{
    if (watched == window_->windowHandle())
        return true;
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget != nullptr && widget->window() == window_;
}

bool HandlerGate::eventFilter(QObject* watched, QEvent* event)
{
    if (!busy_ || !IsUserInput(event->type()) || !Within(watched))
        return false;
    held_.emplace_back(watched, event->clone());
    return true;
}

}  // namespace app
