#pragma once
// Runs a window's handlers one at a time, in the order they were asked for.
//
// A handler may end later than it returns: one that plays a sound is given a
// Done, which it calls once the sound has ended (a queued call from the
// SoundLink), and the next handler runs only after that. Nothing waits
// meanwhile: painting and timers go on, and the user's keys and clicks on
// the window are held, then delivered in order once no handler runs, each to
// what has the focus (or lies under the pointer) by then. An exception that
// escapes a handler or what runs after its sound shows the standard error
// message and ends the program.

#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <memory>

class QEvent;
class QWidget;

namespace app {

// Runs work; an exception escaping it is shown, then the program ends.
void RunReported(const std::function<void()>& work);

class HandlerGate final : public QObject {
public:
    using Done = std::function<void()>;

    // Holds the input given to window (and its widgets) while busy.
    explicit HandlerGate(QWidget* window);
    ~HandlerGate() override;

    // A handler that has ended once it calls Done.
    void Run(std::function<void(Done)> handler);
    // A handler that has ended once it returns.
    void Run(std::function<void()> handler);
    bool Busy() const { return busy_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Pump();
    void DeliverHeldInput();
    bool Within(QObject* watched) const;

    QWidget* window_;
    bool busy_ = false;
    bool pumping_ = false;     // running handlers
    bool delivering_ = false;  // handing over held input
    std::deque<std::function<void(Done)>> pending_;
    std::deque<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> held_;
};

}  // namespace app
