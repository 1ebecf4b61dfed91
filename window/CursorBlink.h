#pragma once
// Stops the text cursor blinking once no key, click or wheel has come for
// kBlinkTimeout, as GNOME does, so that a window left alone does not wake
// twice a second to blink; the next input, or the window made active again,
// starts it blinking again at the desktop's rate. It changes the
// application's cursor flash time, and nothing else.

#include <QObject>
#include <QTimer>
#include <chrono>

namespace window {

inline constexpr std::chrono::seconds kBlinkTimeout{10};

class CursorBlink final : public QObject {
public:
    CursorBlink();
    ~CursorBlink() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTimer timeout_;
};

}  // namespace window
