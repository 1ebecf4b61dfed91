#pragma once
// Runs the window's handlers one at a time, in the order they were asked for.
//
// Handlers speak, and speaking waits on the sound while the window keeps
// painting; timers and posted events still run during that wait. A handler
// asked for while another runs is queued and runs after it, never inside it.
// When the last queued handler returns, input that was held back during the
// wait is delivered at once. An exception escaping a handler shows the
// standard error message and ends the program.

#include <deque>
#include <functional>

class QObject;

namespace window {

class HandlerGate {
public:
    // owner outlives every timer the gate starts.
    explicit HandlerGate(QObject* owner) : owner_(owner) {}
    void Run(std::function<void()> handler);
    bool Busy() const { return busy_; }

    // Processes pending events with user input held back; called every few
    // milliseconds while a clip plays.
    static void KeepPainting();

private:
    void RunReported(const std::function<void()>& handler);
    void DeliverHeldInput();

    QObject* owner_;
    bool busy_ = false;
    std::deque<std::function<void()>> pending_;
};

}  // namespace window
