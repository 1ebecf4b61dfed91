#include "QuizWindow.h"

#include "app/Icon.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <vector>

#include "Widgets.h"

namespace window {
namespace {

struct ButtonWiring {
    Control button;
    void (QuizWindow::*handler)(const app::HandlerGate::Done&);
};

bool IsEnterKey(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

Control LabelControl(quiz::Label label)
{
    switch (label) {
    case quiz::Label::Sign:
        return Control::SignLabel;
    case quiz::Label::Tally:
        return Control::TallyLabel;
    case quiz::Label::Feedback:
        return Control::FeedbackLabel;
    case quiz::Label::FirstOperand:
        return Control::FirstOperandLabel;
    case quiz::Label::SecondOperand:
        return Control::SecondOperandLabel;
    }
    return Control::FeedbackLabel;  // unreachable: every label is handled above
}

Control PictureControl(quiz::Picture picture)
{
    switch (picture) {
    case quiz::Picture::Tick:
        return Control::Tick;
    case quiz::Picture::Cross:
        return Control::Cross;
    }
    return Control::Tick;  // unreachable
}

Control FocusControl(quiz::FocusTarget target)
{
    switch (target) {
    case quiz::FocusTarget::AnswerBox:
        return Control::AnswerBox;
    case quiz::FocusTarget::ContinueButton:
        return Control::ContinueButton;
    }
    return Control::AnswerBox;  // unreachable
}

bool IsShiftF10(const QKeyEvent* key)
{
    return key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
}

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QuizWindow::QuizWindow(quiz::RandomSource& random, speech::ClipPlayer& player, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      quiz_(*this, random, player)
{
    LoadPictureResources();
    setObjectName(kWindowObjectName);
    setWindowTitle("Zorbanu");
    setFixedSize(PixelsFromTwips(QRect(QPoint(), kClientTwips)).size());
    setFont(app::MakeFont(kWindowFont));
    QPalette surface = palette();
    surface.setColor(QPalette::Window, ResolveColour(Colour::ButtonFace, surface));
    setPalette(surface);
    setAutoFillBackground(true);

    BuildControls();
    BuildSettingsMenu();
    WireButtons();
    SetTabOrder();
    Widget(Control::AnswerBox)->setFocus();
    if (QScreen* display = screen())
        move(display->availableGeometry().center() - rect().center());
}

// Decoding the icon's renderings takes longer than building the whole
// window, so it waits until the first frame is on the screen; and, as a
// handler of its own, until no problem is being spoken, so it never delays
// the next clip.
void QuizWindow::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (iconPending_) {
        iconPending_ = false;
        QMetaObject::invokeMethod(this, [this] { gate_.Run([this] { LoadIcon(); }); }, Qt::QueuedConnection);
    }
}

void QuizWindow::LoadIcon()
{
    setWindowIcon(app::ProgramIcon());
}

void QuizWindow::BuildControls()
{
    for (const ControlSpec& spec : kControls)
        widgets_[static_cast<std::size_t>(spec.control)] = MakeControl(spec, this);
    // The tick lets clicks through to the window, like the bare surface.
    Widget(Control::Tick)->setAttribute(Qt::WA_TransparentForMouseEvents);
    // What a screen reader says of the pictures; the answer box reads the
    // problem (SetCaption).
    Widget(Control::Tick)->setAccessibleName("答对了");
    Widget(Control::Cross)->setAccessibleName("答错了");
    Widget(Control::AnswerBox)->installEventFilter(this);
}

// The ranges, a separator where an operation follows a range, the
// operations. No check marks and no shortcuts: it looks the same whatever
// was chosen before.
void QuizWindow::BuildSettingsMenu()
{
    settingsMenu_ = new QMenu(this);
    settingsMenu_->setObjectName(kSettingsMenuObjectName);
    // The desktop's menu font may have no Chinese glyphs of its own.
    settingsMenu_->setFont(app::MakeFont(kMenuFont));
    settingsMenu_->installEventFilter(this);
    bool afterRange = false;
    for (std::size_t i = 0; i < quiz::kSettingsCommands.size(); ++i) {
        const quiz::SettingsCommand& command = quiz::kSettingsCommands[i];
        if (afterRange && command.op)
            settingsMenu_->addSeparator()->setObjectName(kSettingsSeparatorObjectName);
        afterRange = command.rangeMax.has_value();
        QAction* item = settingsMenu_->addAction(FromUtf8(command.caption));
        item->setObjectName(kSettingsItemObjectNames[i]);
        connect(item, &QAction::triggered, this,
                [this, &command] { gate_.Run([this, &command] { quiz_.ApplySetting(command); }); });
    }
}

void QuizWindow::WireButtons()
{
    static constexpr ButtonWiring kButtons[] = {
        {Control::ContinueButton, &QuizWindow::Continue},
        {Control::EndButton, &QuizWindow::End},
        {Control::ReadButton, &QuizWindow::Read},
    };
    for (const ButtonWiring& wiring : kButtons) {
        auto* button = static_cast<QPushButton*>(Widget(wiring.button));
        auto handler = wiring.handler;
        connect(button, &QPushButton::clicked, this, [this, handler] {
            gate_.Run([this, handler](const app::HandlerGate::Done& done) { (this->*handler)(done); });
        });
        button->installEventFilter(this);  // Enter presses a focused button too
    }
}

// Tab visits the answer box and the buttons in their tab-index order; labels
// and pictures never take the focus.
void QuizWindow::SetTabOrder()
{
    std::vector<const ControlSpec*> stops;
    for (const ControlSpec& spec : kControls)
        if (spec.kind == ControlKind::Button || spec.kind == ControlKind::AnswerBox)
            stops.push_back(&spec);
    std::sort(stops.begin(), stops.end(),
              [](const ControlSpec* a, const ControlSpec* b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 0; i + 1 < stops.size(); ++i)
        setTabOrder(Widget(stops[i]->control), Widget(stops[i + 1]->control));
}

void QuizWindow::StartUp(std::function<void()> shown)
{
    gate_.Run([this, shown = std::move(shown)](const app::HandlerGate::Done& done) {
        quiz_.StartUp([shown, done] { shown(), done(); });
    });
}

void QuizWindow::Continue(const app::HandlerGate::Done& done)
{
    quiz_.NextProblem(done);
}

void QuizWindow::End(const app::HandlerGate::Done& done)
{
    closing_ = true;
    close();
    QCoreApplication::quit();
    done();
}

void QuizWindow::Read(const app::HandlerGate::Done& done)
{
    quiz_.SpeakProblem([this, done] {
        MoveFocus(quiz::FocusTarget::AnswerBox);
        done();
    });
}

void QuizWindow::OpenSettingsMenu(Qt::MouseButtons buttons, const QPoint& globalPos)
{
    if (buttons & Qt::RightButton)
        settingsMenu_->popup(globalPos);
}

void QuizWindow::mousePressEvent(QMouseEvent* event)
{
    // Labels ignore mouse presses, so Qt passes them on to the window; only a
    // press on the bare surface belongs to it.
    if (childAt(event->position().toPoint()) != nullptr)
        return;
    Qt::MouseButtons buttons = event->buttons();
    QPoint where = event->globalPosition().toPoint();
    gate_.Run([this, buttons, where] { OpenSettingsMenu(buttons, where); });
}

// The menu key on a focused button opens the settings menu at the button
// (the answer box opens its own edit menu and never passes the key on).
void QuizWindow::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() != QContextMenuEvent::Keyboard)
        return;  // a right press on the bare window has opened it already
    QWidget* focused = focusWidget();
    const QPoint where = focused ? focused->mapToGlobal(focused->rect().center()) : mapToGlobal(rect().center());
    gate_.Run([this, where] { OpenSettingsMenu(Qt::RightButton, where); });
}

void QuizWindow::closeEvent(QCloseEvent* event)
{
    if (gate_.Busy() && !closing_) {
        // Closed while a problem is spoken: end once the handler returns.
        event->ignore();
        gate_.Run([this](const app::HandlerGate::Done& done) { End(done); });
        return;
    }
    event->accept();
}

// Menu items are chosen with the left button only, as on most desktops; a
// right press or release on an open menu does nothing.
bool QuizWindow::IsNonLeftClick(const QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease)
        return false;
    return static_cast<const QMouseEvent*>(event)->button() != Qt::LeftButton;
}

bool QuizWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == settingsMenu_)
        return IsNonLeftClick(event);
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == Widget(Control::AnswerBox) && !IsShiftF10(key))
        return AnswerBoxKeyPress(key);
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button && IsEnterKey(key) && !key->isAutoRepeat()) {
        button->click();
        return true;
    }
    if (IsShiftF10(key)) {
        // Shift+F10 stands for the menu key, as on most desktops.
        auto* target = static_cast<QWidget*>(watched);
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, target->rect().center(),
                               target->mapToGlobal(target->rect().center()));
        QCoreApplication::sendEvent(target, &menu);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// Hands a typed character to the quiz before the box sees it; returns true
// when the box must not get it.
bool QuizWindow::AnswerBoxKeyPress(QKeyEvent* event)
{
    char16_t key;
    if (IsEnterKey(event))
        key = quiz::kEnterKey;
    else if (event->text().size() == 1)
        key = event->text().at(0).unicode();
    else
        return false;  // editing and movement keys type no character
    // Input is held while a handler runs, so this one runs at once; the quiz
    // clears a key the box must not get.
    auto swallowed = std::make_shared<bool>(false);
    gate_.Run([this, key, swallowed](const app::HandlerGate::Done& done) mutable {
        quiz_.AnswerKey(key, done);
        *swallowed = key == 0;
    });
    return *swallowed;
}

void QuizWindow::SetCaption(quiz::Label label, std::string_view text)
{
    static_cast<QLabel*>(Widget(LabelControl(label)))->setText(FromUtf8(text));
    switch (label) {
    case quiz::Label::FirstOperand:
    case quiz::Label::Sign:
    case quiz::Label::SecondOperand:
        Widget(Control::AnswerBox)
            ->setAccessibleName(QString("%1 %2 %3 =").arg(Text(Control::FirstOperandLabel), Text(Control::SignLabel),
                                                          Text(Control::SecondOperandLabel)));
        break;
    case quiz::Label::Feedback:
    case quiz::Label::Tally:
        break;  // QLabel tells a screen reader of its changed text itself
    }
}

QString QuizWindow::Text(Control label) const
{
    return static_cast<QLabel*>(Widget(label))->text().trimmed();
}

std::string QuizWindow::Caption(quiz::Label label) const
{
    return static_cast<QLabel*>(Widget(LabelControl(label)))->text().toStdString();
}

void QuizWindow::SetAnswerText(std::string_view text)
{
    static_cast<QLineEdit*>(Widget(Control::AnswerBox))->setText(FromUtf8(text));
}

std::string QuizWindow::AnswerText() const
{
    return static_cast<QLineEdit*>(Widget(Control::AnswerBox))->text().toStdString();
}

void QuizWindow::SetPictureVisible(quiz::Picture picture, bool visible)
{
    Widget(PictureControl(picture))->setVisible(visible);
}

// The program moves the focus as the keyboard would, and the focus cue that
// keyboard navigation shows appears at once: the child sees that Enter now
// presses Continue.
void QuizWindow::MoveFocus(quiz::FocusTarget target)
{
    setAttribute(Qt::WA_KeyboardFocusChange);
    Widget(FocusControl(target))->setFocus(Qt::OtherFocusReason);
}

}  // namespace window
