#pragma once
// The quiz window: a written column sum with the answer box under the rule,
// the tick or cross beside it, the prompt and tally lines below and three
// buttons at the lower right (Read, Continue, End); the settings menu pops
// up on a right press on the bare window.
//
// It builds its controls from the layout table, owns the quiz and hands
// every user action to one quiz or window handler, one at a time. It holds
// no quiz logic of its own.

#include <QWidget>
#include <array>

#include "app/HandlerGate.h"
#include "Layout.h"
#include "quiz/Controls.h"
#include "quiz/Quiz.h"

class QMenu;

namespace window {

class QuizWindow final : public QWidget, private quiz::Controls
{
    Q_OBJECT

public:
    QuizWindow(quiz::RandomSource& random, speech::ClipPlayer& player, QWidget* parent = nullptr);

    // Draws and speaks the first problem, then calls shown (which shows the
    // window) once the reading has ended.
    void StartUp(std::function<void()> shown);

    const quiz::QuizState& State() const { return quiz_.State(); }
    QWidget* Widget(Control control) const { return widgets_[static_cast<std::size_t>(control)]; }
    QMenu* SettingsMenu() const { return settingsMenu_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // quiz::Controls
    void SetCaption(quiz::Label label, std::string_view text) override;
    std::string Caption(quiz::Label label) const override;
    void SetAnswerText(std::string_view text) override;
    std::string AnswerText() const override;
    void SetPictureVisible(quiz::Picture picture, bool visible) override;
    void MoveFocus(quiz::FocusTarget target) override;

    QString Text(Control label) const;
    void LoadIcon();
    void BuildControls();
    void BuildSettingsMenu();
    void WireButtons();
    void SetTabOrder();

    void Continue(const app::HandlerGate::Done& done);
    void End(const app::HandlerGate::Done& done);
    void Read(const app::HandlerGate::Done& done);
    void OpenSettingsMenu(Qt::MouseButtons buttons, const QPoint& globalPos);
    bool AnswerBoxKeyPress(QKeyEvent* event);
    static bool IsNonLeftClick(const QEvent* event);

    app::HandlerGate gate_{this};
    quiz::Quiz quiz_;
    std::array<QWidget*, kControlCount> widgets_{};
    QMenu* settingsMenu_ = nullptr;
    bool closing_ = false;
    bool iconPending_ = true;
};

}  // namespace window
