#include "HandlerGate.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>
#include <exception>

namespace app {

void HandlerGate::Run(std::function<void()> handler)
{
    pending_.push_back(std::move(handler));
    if (busy_)
        return;
    busy_ = true;
    while (!pending_.empty()) {
        std::function<void()> next = std::move(pending_.front());
        pending_.pop_front();
        RunReported(next);
    }
    busy_ = false;
    // Held keys and clicks are only handed over when some new event wakes
    // the loop; this one does it at once.
    QTimer::singleShot(0, owner_, [this] { DeliverHeldInput(); });
}

void HandlerGate::DeliverHeldInput()
{
    if (!busy_)
        QCoreApplication::processEvents();
}

void HandlerGate::RunReported(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Zorbanu"),
                              QCoreApplication::translate("HandlerGate", "Runtime error: %1")
                                  .arg(QString::fromUtf8(error.what())));
        // End at once: there is nothing to save, and tearing the window down
        // from inside one of its own handlers is not safe.
        std::_Exit(EXIT_FAILURE);
    }
}

PaintingWaiter::PaintingWaiter() : dispatcher_(QAbstractEventDispatcher::instance()) {}

// One pass of the event loop that blocks until something comes: the timer
// at the deadline, an event to handle, or the sound thread's wake-up.
void PaintingWaiter::SleepUntil(audio::Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - audio::Clock::now());
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    timer.start(std::max(left, std::chrono::milliseconds(0)));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
}

// Thread-safe: makes the blocked (or the next) pass return.
void PaintingWaiter::Wake() { dispatcher_->wakeUp(); }

}  // namespace app
