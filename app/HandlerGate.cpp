#include "HandlerGate.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <exception>

namespace app {
namespace {

constexpr QEvent::Type kUserInput[] = {QEvent::KeyPress,         QEvent::KeyRelease, QEvent::MouseButtonPress,
                                       QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick, QEvent::Wheel,
                                       QEvent::InputMethod,      QEvent::ContextMenu};

}  // namespace

void RunReported(const std::function<void()>& work)
{
    try {
        work();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Zorbanu"),
                              QCoreApplication::translate("HandlerGate", "Runtime error: %1")
                                  .arg(QString::fromUtf8(error.what())));
        // Tearing the window down from inside one of its handlers is not safe.
        std::_Exit(EXIT_FAILURE);
    }
}

HandlerGate::HandlerGate(QWidget* window) : window_(window) { QCoreApplication::instance()->installEventFilter(this); }

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

// Reentered from a handler it runs, it leaves the work to the loop going.
void HandlerGate::Pump()
{
    if (pumping_)
        return;
    pumping_ = true;
    while (!busy_ && !pending_.empty()) {
        auto next = std::move(pending_.front());
        pending_.pop_front();
        busy_ = true;
        RunReported([&, ended = std::make_shared<bool>(false)] {
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

// Each event whole before the next: a handler it starts runs at once, and
// one still running when it returns leaves the rest held.
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

// Input reaches the window's platform window first, then its widgets (a
// test sends it to them directly).
bool HandlerGate::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    const bool ours = watched == window_->windowHandle() || (widget != nullptr && widget->window() == window_);
    if (!busy_ || !ours || std::find(std::begin(kUserInput), std::end(kUserInput), event->type()) == std::end(kUserInput))
        return false;
    held_.emplace_back(watched, event->clone());
    return true;
}

}  // namespace app
