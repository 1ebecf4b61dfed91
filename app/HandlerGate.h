#pragma once
// Runs a window's handlers one at a time, in the order asked for. A handler
// that plays a sound ends when it calls its Done (after the sound ended),
// and only then does the next begin. Nothing waits meanwhile: painting and
// timers go on, and keys and clicks given to the window are held, then
// delivered in order once no handler runs, each to what has the focus (or
// lies under the pointer) by then. An exception escaping a handler, or what
// runs after its sound, is shown and ends the program.

#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <memory>

class QEvent;
class QWidget;

namespace app {

void RunReported(const std::function<void()>& work);

class HandlerGate final : public QObject {
public:
    using Done = std::function<void()>;

    explicit HandlerGate(QWidget* window);
    ~HandlerGate() override;
    void Run(std::function<void(Done)> handler);
    void Run(std::function<void()> handler);  // ends as it returns
    bool Busy() const { return busy_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Pump();
    void DeliverHeldInput();

    QWidget* window_;
    bool busy_ = false;
    bool pumping_ = false;     // running handlers
    bool delivering_ = false;  // handing over held input
    std::deque<std::function<void(Done)>> pending_;
    std::deque<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> held_;
};

}  // namespace app
