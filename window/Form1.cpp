#include "Form1.h"

#include <QCloseEvent>
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

// Pictures are embedded in this static library; the linker drops their
// registration unless it is called for.
static void LoadPictureResources()
{
    Q_INIT_RESOURCE(pictures);
}

namespace window {
namespace {

constexpr char16_t kEnter = 13;

struct ButtonWiring {
    const char* name;
    void (Form1::*handler)();
};

bool IsEnterKey(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

}  // namespace

Form1::Form1(quiz::RandomSource& random, speech::ClipPlayer& player, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      quiz_(*this, random, player)
{
    LoadPictureResources();
    setObjectName("Form1");
    setWindowTitle("Zorbanu");
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QString(":/pictures/icon-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
    setFixedSize(PixelsFromTwips(QRect(QPoint(), kClientTwips)).size());
    setFont(MakeFont(kWindowFont));
    QPalette surface = palette();
    surface.setColor(QPalette::Window, ResolveColour(Colour::ButtonFace, surface));
    setPalette(surface);
    setAutoFillBackground(true);

    BuildControls();
    BuildPopupMenu();
    WireButtons();
    SetTabOrder();
    Text3_->setFocus();
    if (QScreen* display = screen())
        move(display->availableGeometry().center() - rect().center());
}

void Form1::BuildControls()
{
    for (const ControlSpec& spec : kControls)
        MakeControl(spec, this);
    for (std::size_t i = 0; i < labels_.size(); ++i)
        labels_[i] = findChild<QLabel*>(QString("Label%1").arg(i + 1));
    Text3_ = findChild<QLineEdit*>("Text3");
    Command1_ = findChild<QPushButton*>("Command1");
    Image1_ = findChild<QLabel*>("Image1");
    Image2_ = findChild<QLabel*>("Image2");
    // The tick lets clicks through to the window, like the bare surface.
    Image1_->setAttribute(Qt::WA_TransparentForMouseEvents);
    Text3_->installEventFilter(this);
}

// The settings menu: the range commands, a separator, the operation
// commands. No check marks and no shortcuts: it looks the same whatever was
// chosen before.
void Form1::BuildPopupMenu()
{
    popupmnu_ = new QMenu(this);
    popupmnu_->setObjectName("popupmnu");
    // The desktop's menu font may have no Chinese glyphs of its own.
    popupmnu_->setFont(MakeFont(kMenuFont));
    bool rangesDone = false;
    for (const quiz::MenuCommand& command : quiz::kMenuCommands) {
        if (command.op && !rangesDone) {
            popupmnu_->addSeparator()->setObjectName("fgx");
            rangesDone = true;
        }
        QAction* item = popupmnu_->addAction(QString::fromUtf8(command.caption.data(),
                                                               command.caption.size()));
        item->setObjectName(QString::fromUtf8(command.name.data(), command.name.size()));
        connect(item, &QAction::triggered, this,
                [this, &command] { gate_.Run([this, &command] { quiz_.mnu_Click(command); }); });
    }
}

void Form1::WireButtons()
{
    static constexpr ButtonWiring kButtons[] = {
        {"Command1", &Form1::Command1_Click},
        {"Command2", &Form1::Command2_Click},
        {"Command3", &Form1::Command3_Click},
    };
    for (const ButtonWiring& wiring : kButtons) {
        auto* button = findChild<QPushButton*>(wiring.name);
        auto handler = wiring.handler;
        connect(button, &QPushButton::clicked, this,
                [this, handler] { gate_.Run([this, handler] { (this->*handler)(); }); });
        button->installEventFilter(this);  // Enter presses a focused button too
    }
}

// Tab visits the answer box and the buttons in their tab-index order; labels
// and pictures never take the focus.
void Form1::SetTabOrder()
{
    std::vector<const ControlSpec*> stops;
    for (const ControlSpec& spec : kControls) {
        bool focusable = spec.kind == ControlKind::Button || spec.kind == ControlKind::AnswerBox;
        if (focusable)
            stops.push_back(&spec);
    }
    std::sort(stops.begin(), stops.end(),
              [](const ControlSpec* a, const ControlSpec* b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 0; i + 1 < stops.size(); ++i)
        setTabOrder(findChild<QWidget*>(stops[i]->name), findChild<QWidget*>(stops[i + 1]->name));
}

void Form1::Form_Load()
{
    gate_.Run([this] { quiz_.Form_Load(); });
}

void Form1::Command1_Click()
{
    quiz_.Command1_Click();
}

void Form1::Command2_Click()
{
    closing_ = true;
    close();
    QCoreApplication::quit();
}

void Form1::Command3_Click()
{
    quiz_.SpeakProblem();
    Text3_->setFocus();
}

void Form1::Form_MouseDown(Qt::MouseButtons buttons, const QPoint& globalPos)
{
    if (buttons & Qt::RightButton)
        popupmnu_->popup(globalPos);
}

void Form1::mousePressEvent(QMouseEvent* event)
{
    // Labels ignore mouse presses, so Qt passes them on to the window; only a
    // press on the bare surface belongs to it.
    if (childAt(event->position().toPoint()) != nullptr)
        return;
    Qt::MouseButtons buttons = event->buttons();
    QPoint where = event->globalPosition().toPoint();
    gate_.Run([this, buttons, where] { Form_MouseDown(buttons, where); });
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (gate_.Busy() && !closing_) {
        // Closed while a problem is spoken: end once the handler returns.
        event->ignore();
        gate_.Run([this] { Command2_Click(); });
        return;
    }
    event->accept();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == Text3_)
        return AnswerBoxKeyPress(key);
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button && IsEnterKey(key) && !key->isAutoRepeat()) {
        button->click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// Hands a typed character to the quiz before the box sees it; returns true
// when the box must not get it.
bool Form1::AnswerBoxKeyPress(QKeyEvent* event)
{
    char16_t key;
    if (IsEnterKey(event))
        key = kEnter;
    else if (event->text().size() == 1)
        key = event->text().at(0).unicode();
    else
        return false;  // editing and movement keys type no character
    if (gate_.Busy()) {
        gate_.Run([this, key]() mutable { quiz_.Text3_KeyPress(key); });
        return key == kEnter;
    }
    gate_.Run([this, &key] { quiz_.Text3_KeyPress(key); });
    return key == 0;  // the quiz cleared it: the box must not get it
}

QLabel* Form1::LabelWidget(quiz::Label label) const
{
    return labels_[static_cast<std::size_t>(label)];
}

void Form1::SetCaption(quiz::Label label, std::string_view text)
{
    LabelWidget(label)->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

std::string Form1::Caption(quiz::Label label) const
{
    return LabelWidget(label)->text().toStdString();
}

void Form1::SetAnswerText(std::string_view text)
{
    Text3_->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

std::string Form1::AnswerText() const
{
    return Text3_->text().toStdString();
}

void Form1::SetPictureVisible(quiz::Picture picture, bool visible)
{
    switch (picture) {
    case quiz::Picture::Image1:
        Image1_->setVisible(visible);
        return;
    case quiz::Picture::Image2:
        Image2_->setVisible(visible);
        return;
    }
}

void Form1::MoveFocus(quiz::FocusTarget target)
{
    switch (target) {
    case quiz::FocusTarget::Text3:
        Text3_->setFocus();
        return;
    case quiz::FocusTarget::Command1:
        Command1_->setFocus();
        return;
    }
}

}  // namespace window
