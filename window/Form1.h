#pragma once
// The program's only window: a written column sum with the answer box under
// the rule, the tick or cross beside it, the prompt and tally lines below and
// three buttons at the lower right; a settings menu pops up on a right click
// on the bare window.
//
// Form1 builds its controls from the layout table, owns the quiz and hands
// every user action to one quiz or window handler, one at a time. It holds
// no quiz logic of its own.

#include <QWidget>
#include <array>

#include "HandlerGate.h"
#include "quiz/Controls.h"
#include "quiz/Quiz.h"

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace window {

class Form1 final : public QWidget, private quiz::Controls
{
    Q_OBJECT

public:
    Form1(quiz::RandomSource& random, speech::ClipPlayer& player, QWidget* parent = nullptr);

    // Start-up: draws and speaks the first problem. Call before show().
    void Form_Load();

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Form_MouseDown(Qt::MouseButtons buttons, const QPoint& globalPos);

    const quiz::QuizState& State() const { return quiz_.State(); }
    QMenu* PopupMenu() const { return popupmnu_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
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

    void BuildControls();
    void BuildPopupMenu();
    void WireButtons();
    void SetTabOrder();
    bool AnswerBoxKeyPress(QKeyEvent* event);
    QLabel* LabelWidget(quiz::Label label) const;

    HandlerGate gate_{this};
    quiz::Quiz quiz_;
    std::array<QLabel*, 5> labels_{};
    QLineEdit* Text3_ = nullptr;
    QPushButton* Command1_ = nullptr;
    QLabel* Image1_ = nullptr;
    QLabel* Image2_ = nullptr;
    QMenu* popupmnu_ = nullptr;
    bool closing_ = false;
};

}  // namespace window
