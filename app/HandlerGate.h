#pragma once
// Runs the window's handlers one at a time, in the order they were asked for.
//
// Handlers speak, and speaking waits on the sound while the window keeps
// painting (PaintingWaiter); timers and posted events still run during that
// wait. A handler
// asked for while another runs is queued and runs after it, never inside it.
// When the last queued handler returns, input that was held back during the
// wait is delivered at once. An exception escaping a handler shows the
// standard error message and ends the program.

#include <deque>
#include <functional>

#include "audio/SoundThread.h"

class QAbstractEventDispatcher;
class QObject;

namespace app {

class HandlerGate {
public:
    // owner outlives every timer the gate starts.
    explicit HandlerGate(QObject* owner) : owner_(owner) {}
    void Run(std::function<void()> handler);
    bool Busy() const { return busy_; }

private:
    void RunReported(const std::function<void()>& handler);
    void DeliverHeldInput();

    QObject* owner_;
    bool busy_ = false;
    std::deque<std::function<void()>> pending_;
};

// Waits for the sound thread inside Qt's event loop: asleep until the sound
// thread wakes it, the deadline passes or an event comes that the window must
// handle (painting, a timer); user input is held back meanwhile. Build it on
// the window's thread, once the application exists.
class PaintingWaiter final : public audio::Waiter {
public:
    PaintingWaiter();
    void SleepUntil(audio::Clock::time_point deadline) override;
    void Wake() override;

private:
    QAbstractEventDispatcher* dispatcher_;
};

}  // namespace app
