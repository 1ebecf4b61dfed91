// The window as designed: start-up state, boxes, fonts, colours, keyboard,
// menu and pictures, checked on the real Form1.
#include <QFontInfo>
#include <QMenu>
#include <QSignalSpy>

#include "quiz/Texts.h"
#include "speech/Composer.h"
#include "support/FormFixture.h"

using namespace testing_support;

namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), text.size()); }

class Window : public FormTest {};

TEST_F(Window, StartUpShowsTheFirstProblemAfterSpeakingIt)
{
    std::vector<bool> visibleWhilePlaying;
    player.onPlay = [&](const std::string&) { visibleWhilePlaying.push_back(form && form->isVisible()); };
    Start(1, 5);
    // Two values, the first for the first operand: 1 + 5.
    EXPECT_EQ(this->random->consumed, 2u);
    EXPECT_EQ(this->random->seeds, 1);
    const auto& state = form->State();
    EXPECT_EQ(state.RangeMax, 9);
    EXPECT_EQ(state.OpCode, quiz::Op::Add);
    EXPECT_EQ(state.CorrectCount, 0);
    EXPECT_EQ(Caption("Label4"), "1");
    EXPECT_EQ(Caption("Label5"), "5");
    EXPECT_EQ(Caption("Label1"), "+");
    EXPECT_EQ(Caption("Label2"), "这是第一题");
    EXPECT_EQ(Caption("Label3"), "小朋友请你算一算这道题");
    EXPECT_TRUE(Box()->text().isEmpty());
    EXPECT_FALSE(Get("Image1")->isVisible());
    EXPECT_FALSE(Get("Image2")->isVisible());
    auto expected = speech::ComposeProblem(1, 5, "+");
    EXPECT_EQ(player.played, std::vector<std::string>(expected.begin(), expected.end()));
    EXPECT_EQ(visibleWhilePlaying, std::vector<bool>(12, false));
    EXPECT_EQ(QApplication::focusWidget(), Box());
}

TEST_F(Window, EveryControlStandsInItsDesignedBox)
{
    Start(7, 2);
    const std::pair<const char*, QRect> boxes[] = {
        {"Command3", {279, 208, 81, 33}}, {"Command2", {280, 288, 81, 33}}, {"Command1", {280, 248, 81, 33}},
        {"Text3", {115, 129, 126, 33}},   {"Image2", {282, 111, 72, 64}},   {"Image1", {282, 111, 71, 63}},
        {"Label2", {0, 280, 265, 29}},    {"Line1", {87, 112, 177, 1}},     {"Label3", {0, 216, 257, 29}},
        {"Label4", {139, 16, 102, 35}},   {"Label1", {114, 66, 18, 35}},    {"Label5", {139, 64, 102, 35}},
    };
    for (const auto& [name, box] : boxes)
        EXPECT_EQ(Get(name)->geometry(), box) << name;
    EXPECT_EQ(form->size(), QSize(381, 326));
    EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "the window is not resizable";
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form->windowTitle(), "Zorbanu");
    EXPECT_FALSE(form->windowIcon().isNull());
    // Operands and answer share one right edge, so units stand under units.
    for (const char* name : {"Label4", "Label5", "Text3"})
        EXPECT_EQ(Get(name)->geometry().right() + 1, 3615 / 15) << name;
}

// The rightmost column of dark pixels inside a control's box.
int InkRightEdge(const QImage& window, const QRect& box)
{
    int right = -1;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (qGray(window.pixel(x, y)) < 128)
                right = std::max(right, x);
    return right;
}

TEST_F(Window, UnitsStandUnderUnitsInTheWrittenSum)
{
    Start(8, 8);
    Box()->setText("468");
    Get("Command1")->setFocus();  // no text cursor in the picture
    const QImage shot = form->grab().toImage();
    const int operandEdge = InkRightEdge(shot, Get("Label4")->geometry());
    EXPECT_EQ(InkRightEdge(shot, Get("Label5")->geometry()), operandEdge);
    // The answer keeps the box's last pixel column free for the text cursor.
    const int answerEdge = InkRightEdge(shot, Box()->geometry());
    EXPECT_GE(answerEdge, operandEdge - 1);
    EXPECT_LE(answerEdge, operandEdge);
}

TEST_F(Window, TextsUseSongAndKaiFacesThatFitTheirBoxes)
{
    Start(7, 2);
    const struct {
        const char* name;
        const char* family;
        int pixels;
    } fonts[] = {{"Label1", "UMing", 24}, {"Label4", "UMing", 24}, {"Text3", "UMing", 24},
                 {"Label3", "UMing", 20}, {"Label2", "UKai", 20},  {"Command1", "UMing", 21},
                 {"Command3", "UMing", 21}, {"Command2", "UMing", 20}};
    for (const auto& font : fonts) {
        QFontInfo info(Get(font.name)->font());
        EXPECT_TRUE(info.family().contains(font.family)) << font.name << ": " << info.family().toStdString();
        EXPECT_EQ(info.pixelSize(), font.pixels) << font.name;
        EXPECT_FALSE(info.bold() || info.italic()) << font.name;
    }
    const std::pair<const char*, QString> texts[] = {
        {"Label3", Q(quiz::texts::kPrompt)}, {"Label3", Q(quiz::texts::kWrong)},
        {"Label3", Q(quiz::texts::kRight)},  {"Label2", Q(quiz::texts::kFirstProblem)},
        {"Label2", Q(quiz::texts::Tally(9999))}, {"Label1", "×"}, {"Label1", "÷"},
        {"Label4", "999"}, {"Text3", "998001"}, {"Command1", "继续"}, {"Command2", "结束"}, {"Command3", "读题"},
    };
    for (const auto& [name, text] : texts) {
        QWidget* widget = Get(name);
        QFontMetrics metrics(widget->font());
        EXPECT_LE(metrics.horizontalAdvance(text), widget->width()) << name << ": " << text.toStdString();
        EXPECT_LE(metrics.height(), widget->height()) << name;
        for (QChar c : text)
            EXPECT_TRUE(c.isSpace() || metrics.inFont(c)) << name << " lacks " << QString(c).toStdString();
    }
}

TEST_F(Window, ColoursFollowTheDesktopPaletteAndTheFixedRedAndBlue)
{
    Start(7, 2);
    const QColor face = QApplication::palette().color(QPalette::Button);
    EXPECT_EQ(form->palette().color(QPalette::Window), face);
    EXPECT_EQ(Box()->palette().color(QPalette::Base), face);
    EXPECT_EQ(Get("Label4")->palette().color(QPalette::Window), face);
    EXPECT_TRUE(Get("Label4")->autoFillBackground());
    EXPECT_FALSE(Get("Label3")->autoFillBackground());
    EXPECT_EQ(Get("Label3")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(Get("Label2")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(Get("Label1")->palette().color(QPalette::WindowText),
              QApplication::palette().color(QPalette::ButtonText));
    EXPECT_EQ(Get<QLabel>("Label4")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(Box()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_FALSE(Box()->hasFrame());
}

TEST_F(Window, TabCyclesThroughAnswerBoxAndButtonsOnly)
{
    Start(7, 2);
    const char* order[] = {"Text3", "Command1", "Command2", "Command3", "Text3"};
    ASSERT_EQ(QApplication::focusWidget(), Box());
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), order[i]);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "Command3");
    for (const char* label : {"Label1", "Label2", "Label3", "Label4", "Label5", "Image1", "Image2"})
        EXPECT_EQ(Get(label)->focusPolicy(), Qt::NoFocus) << label;
}

TEST_F(Window, EnterInTheAnswerBoxPressesNoButtonButEnterOrSpaceOnAButtonDoes)
{
    Start(7, 2);
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (const char* name : {"Command1", "Command3"})
        spies.push_back(std::make_unique<QSignalSpy>(Get<QPushButton>(name), &QPushButton::clicked));
    Answer("1");
    EXPECT_EQ(spies[0]->count() + spies[1]->count(), 0);
    for (auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        QPushButton* read = Get<QPushButton>("Command3");
        read->setFocus();
        QTest::keyClick(read, key);
    }
    EXPECT_EQ(spies[1]->count(), 3);
    EXPECT_EQ(spies[0]->count(), 0);
    for (const char* name : {"Command1", "Command2", "Command3"}) {
        EXPECT_FALSE(Get<QPushButton>(name)->isDefault()) << name;
        EXPECT_FALSE(Get<QPushButton>(name)->autoDefault()) << name;
    }
}

TEST_F(Window, PopupMenuHoldsTheSevenCommandsAndASeparator)
{
    Start(7, 2);
    const QList<QAction*> items = form->PopupMenu()->actions();
    const char* captions[] = {"十以内", "百以内", "千以内", "", "加法", "减法", "乘法", "除法"};
    const char* names[] = {"mnu1", "mnu2", "mnu3", "fgx", "mnu4", "mnu5", "mnu6", "mnu7"};
    ASSERT_EQ(items.size(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(items[i]->objectName(), names[i]);
        EXPECT_EQ(items[i]->isSeparator(), i == 3);
        EXPECT_EQ(items[i]->text(), captions[i]);
        EXPECT_FALSE(items[i]->isCheckable());
        EXPECT_TRUE(items[i]->shortcut().isEmpty());
        EXPECT_TRUE(items[i]->isEnabled());
    }
    EXPECT_FALSE(form->PopupMenu()->isVisible());
}

TEST_F(Window, TheAnswerBoxEditMenuSpeaksChinese)
{
    Start(7, 2);
    std::unique_ptr<QMenu> menu(Box()->createStandardContextMenu());
    ASSERT_FALSE(menu->actions().isEmpty());
    const QString undo = menu->actions().first()->text();
    EXPECT_TRUE(std::any_of(undo.begin(), undo.end(), [](QChar c) { return c.unicode() >= 0x4E00; }))
        << undo.toStdString();
}

TEST_F(Window, PicturesAreRedMarksStretchedToTheirBoxes)
{
    Start(7, 2);
    for (const char* name : {"Image1", "Image2"}) {
        auto* picture = Get<QLabel>(name);
        QImage image = picture->pixmap().toImage();
        EXPECT_EQ(image.size(), QSize(70, 70)) << name;
        EXPECT_TRUE(picture->hasScaledContents()) << name;
        EXPECT_EQ(image.pixelColor(0, 0), QColor(236, 233, 216)) << name;
        int red = 0;
        for (int y = 0; y < 70; ++y)
            for (int x = 0; x < 70; ++x)
                red += image.pixelColor(x, y) == QColor(255, 0, 0);
        EXPECT_GT(red, 200) << name << " should show a bold red mark";
    }
    EXPECT_TRUE(Get("Image1")->testAttribute(Qt::WA_TransparentForMouseEvents));
}

}  // namespace
